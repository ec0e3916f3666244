# GoogleTest built for the Windows target from Debian's source package
# (googletest, in /usr/src/googletest), and a helper that registers a test
# executable with CTest.
set(GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest source tree")

if(EXISTS ${GTEST_SOURCE_DIR}/CMakeLists.txt)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
else()
  find_package(GTest REQUIRED)
endif()

# add_windows_test(name SOURCES ... [LIBS ...] [DRIVES ...] [PROPERTIES ...])
# Builds a GoogleTest executable and registers it with CTest as one test:
# one process runs all its cases, since starting a Windows process under Wine
# costs far more than most cases. Each test program has a Wine prefix of its
# own, build/wine/<name>, so that no other program shares its drives, its
# temporary folder, its registry or its running objects; its drives are
# DRIVES ("letter=folder ..."), by default only Q:, the build tree.
function(add_windows_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;DRIVES;PROPERTIES" ${ARGN})
  if(NOT T_DRIVES)
    set(T_DRIVES "q=${CMAKE_BINARY_DIR}")
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main GTest::gmock)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 240
    ENVIRONMENT "WINE_RUN_PREFIX=${CMAKE_BINARY_DIR}/wine/${name};WINE_RUN_DRIVES=${T_DRIVES}" ${T_PROPERTIES})
endfunction()

# copy_test_sources(folder...)
# Copies the folders (of the source tree) that tests read into TEST_SOURCES,
# build/test-sources, at every build: the tests' P: drive is that copy, so
# that no test program can write into the sources.
set(TEST_SOURCES ${CMAKE_BINARY_DIR}/test-sources)
function(copy_test_sources)
  foreach(folder ${ARGN})
    file(GLOB_RECURSE files CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/${folder}/*)
    foreach(file ${files})
      add_custom_command(OUTPUT ${TEST_SOURCES}/${file} DEPENDS ${PROJECT_SOURCE_DIR}/${file}
        COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/${file} ${TEST_SOURCES}/${file})
      list(APPEND copies ${TEST_SOURCES}/${file})
    endforeach()
  endforeach()
  add_custom_target(test_sources ALL DEPENDS ${copies})
endfunction()
