# Windows test programs: GoogleTest built from Debian's sources with the mingw toolchain, and CTest
# entries that run a program under Wine in a fresh prefix (scripts/wine-run.sh) in a virtual display.

set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

set(KP_WINE_DIR ${CMAKE_BINARY_DIR}/wine)
set(KP_SCREENSHOTS_DIR ${CMAKE_SOURCE_DIR}/build/screenshots)

# The template prefix is made once per build tree; every test program starts from a copy of it.
add_test(NAME wine_template COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-template.sh ${KP_WINE_DIR}/template)
# A machine that cannot run 32-bit programs skips every run under Wine (scripts/wine-env.sh).
set(KP_WINE_SKIP "SKIPPED:")
set_tests_properties(wine_template PROPERTIES FIXTURES_SETUP wine_prefix TIMEOUT 1200
  SKIP_REGULAR_EXPRESSION ${KP_WINE_SKIP})

# kp_add_wine_run(name target [ARGS...]): run the test program target under Wine as the CTest entry name.
function(kp_add_wine_run name target)
  add_test(NAME ${name} COMMAND ${target} --gtest_color=no ${ARGN})
  set_tests_properties(${name} PROPERTIES
    FIXTURES_REQUIRED wine_prefix
    TIMEOUT 1800
    SKIP_REGULAR_EXPRESSION ${KP_WINE_SKIP}
    ENVIRONMENT "KP_WINE_DIR=${KP_WINE_DIR};KP_SCREENSHOTS_DIR=${KP_SCREENSHOTS_DIR};KP_BUILD_DIR=${CMAKE_BINARY_DIR}")
endfunction()

# kp_add_wine_test(target [ARGS...]): the same under the target's own name.
function(kp_add_wine_test target)
  kp_add_wine_run(${target} ${target} ${ARGN})
endfunction()
