# Runs the Windows kelpack under Wine on the packages the native kelpack built from the example (whole
# and split), so that both builds are seen to read what the other writes. Skipped when the native build
# has not made them yet.
# Variables: RUNNER (scripts/wine-run.sh), KELPACK (kelpack.exe), EXAMPLE (the native example's folder).
cmake_minimum_required(VERSION 3.25)

foreach(package ${EXAMPLE}/one/HELLO.EXE ${EXAMPLE}/split/HELLO.EXE)
  if(NOT EXISTS ${package})
    message("SKIPPED: ${package} is made by the native build's tests (make test-host)")
    return()
  endif()
  string(REPLACE "/" "\\" package_win "Z:${package}")
  foreach(command verify list)
    execute_process(COMMAND ${RUNNER} ${KELPACK} ${command} ${package_win}
      RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    message(STATUS "kelpack ${command} ${package_win}: ${rc}\n${out}${err}")
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR "kelpack ${command} failed on the native package ${package}")
    endif()
  endforeach()
endforeach()
