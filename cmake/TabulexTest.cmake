# GoogleTest wiring shared by every test directory.
if(CMAKE_CROSSCOMPILING)
  # Debian ships the GoogleTest sources; build them with the cross compiler.
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  foreach(t gtest gtest_main gmock gmock_main)
    target_compile_options(${t} PRIVATE -w)
  endforeach()
  if(NOT TARGET GTest::gtest_main)
    add_library(GTest::gtest_main ALIAS gtest_main)
    add_library(GTest::gmock ALIAS gmock)
  endif()
else()
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

# tabulex_add_gtest(NAME SOURCES ... LIBS ...)
# Natively every test case is registered on its own. Windows test executables are registered as
# whole programs: discovering their cases would start Wine during the build.
function(tabulex_add_gtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main GTest::gmock)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name})
    # A program whose worker thread crashes under Wine can still exit with status 0, so a run
    # passes only on GoogleTest's own summary line, and fails on a failed test or a crash report.
    set_tests_properties(
      ${name}
      PROPERTIES LABELS wine TIMEOUT 600
                 PASS_REGULAR_EXPRESSION "\\[  PASSED  \\] [0-9]+ tests?\\."
                 FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\];Unhandled exception;Unhandled page fault")
  else()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES LABELS native TIMEOUT 300)
  endif()
endfunction()
