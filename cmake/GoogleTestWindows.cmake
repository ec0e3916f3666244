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

# add_windows_test(name SOURCES ... [LIBS ...] [LABELS ...] [PROPERTIES ...])
# Builds a GoogleTest executable and lets CTest discover its cases when the
# tests run (a fresh Wine prefix takes longer than discovery at build time
# would allow).
function(add_windows_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main GTest::gmock)
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 180
    PROPERTIES TIMEOUT 120 ${T_PROPERTIES})
endfunction()
