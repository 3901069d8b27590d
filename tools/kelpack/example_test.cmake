# Runs the real kelpack on the example project: build, list, verify, extract; then the same split into
# volumes, which must extract to the same files; then two checkouts with other file times, which must
# build the same bytes under SOURCE_DATE_EPOCH. The host build has no module of its own, so a stand-in
# of the module's size packs in its place.
# Variables: KELPACK, PROJECT, OUT, MODULE_SIZE, VOLUME_SIZE.
cmake_minimum_required(VERSION 3.25)

function(run)
  execute_process(COMMAND ${KELPACK} ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  message(STATUS "kelpack ${ARGN}\n${out}${err}")
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "kelpack ${ARGV0} failed with ${rc}")
  endif()
  set(output "${out}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT}/one ${OUT}/split)
math(EXPR filler "${MODULE_SIZE} - 2")
string(REPEAT "x" ${filler} padding)
file(WRITE ${OUT}/module.exe "MZ${padding}")

run(build ${PROJECT} -o ${OUT}/one/HELLO.EXE --module ${OUT}/module.exe --quiet)
run(list ${OUT}/one/HELLO.EXE)
foreach(name KPII KPWB KPLI KPPI "Src\\\\docs\\\\samples\\\\sample.txt" "Src\\\\logs\\\\" Misc1 Misc2)
  if(NOT output MATCHES "${name}")
    message(FATAL_ERROR "list does not show ${name}")
  endif()
endforeach()
if(NOT output MATCHES "1\\.0\\.0\\.1 +Misc1")
  message(FATAL_ERROR "list does not show the helper library's version")
endif()
run(verify ${OUT}/one/HELLO.EXE)
run(extract ${OUT}/one/HELLO.EXE -C ${OUT}/one/files)

run(build ${PROJECT} -o ${OUT}/split/HELLO.EXE --module ${OUT}/module.exe --volume-size ${VOLUME_SIZE} --quiet)
if(NOT EXISTS ${OUT}/split/HELLO.001)
  message(FATAL_ERROR "the package was not split")
endif()
run(verify ${OUT}/split/HELLO.EXE)
run(extract ${OUT}/split/HELLO.EXE -C ${OUT}/split/files)

file(GLOB_RECURSE one RELATIVE ${OUT}/one/files LIST_DIRECTORIES true ${OUT}/one/files/*)
file(GLOB_RECURSE split RELATIVE ${OUT}/split/files LIST_DIRECTORIES true ${OUT}/split/files/*)
if(NOT one STREQUAL split OR NOT "Src/logs" IN_LIST one)
  message(FATAL_ERROR "extracted trees differ or lack the empty folder:\n${one}\n${split}")
endif()
foreach(file ${one})
  if(NOT IS_DIRECTORY ${OUT}/one/files/${file})
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT}/one/files/${file} ${OUT}/split/files/${file}
      RESULT_VARIABLE differ)
    if(differ)
      message(FATAL_ERROR "${file} differs between the single and the split package")
    endif()
  endif()
endforeach()

# Two checkouts of the example in other folders, one with the files' own times and one with every file
# dated now, build the same bytes when SOURCE_DATE_EPOCH is set.
get_filename_component(example_dir ${PROJECT} DIRECTORY)
get_filename_component(project_name ${PROJECT} NAME)
get_filename_component(example_name ${example_dir} NAME)
foreach(checkout kept touched)
  file(COPY ${example_dir} DESTINATION ${OUT}/${checkout})
endforeach()
file(GLOB_RECURSE touched ${OUT}/touched/*)
file(TOUCH_NOCREATE ${touched})
foreach(checkout kept touched)
  set(ENV{SOURCE_DATE_EPOCH} 1700000000)
  run(build ${OUT}/${checkout}/${example_name}/${project_name} -o ${OUT}/${checkout}/HELLO.EXE
    --module ${OUT}/module.exe --quiet)
  unset(ENV{SOURCE_DATE_EPOCH})
endforeach()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT}/kept/HELLO.EXE ${OUT}/touched/HELLO.EXE
  RESULT_VARIABLE differ)
if(differ)
  message(FATAL_ERROR "two checkouts built different packages under SOURCE_DATE_EPOCH")
endif()
