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

include(GoogleTest)

# add_windows_test(name SOURCES ... [LIBS ...] [PROPERTIES ...] [PER_CASE])
# Builds a GoogleTest executable and registers it with CTest as one test:
# one process runs all its cases, since starting a Windows process under Wine
# costs far more than most cases. PER_CASE registers every case as a test of
# its own (discovered when the tests run), for suites whose cases need a
# process each (what they change lives as long as the process).
function(add_windows_test name)
  cmake_parse_arguments(T "PER_CASE" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main GTest::gmock)
  if(T_PER_CASE)
    gtest_discover_tests(${name}
      DISCOVERY_MODE PRE_TEST
      DISCOVERY_TIMEOUT 180
      PROPERTIES TIMEOUT 120 ${T_PROPERTIES})
  else()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 240 ${T_PROPERTIES})
  endif()
endfunction()
