# cmake -DBUILD_DIR=... -DWORK_DIR=... -DSAMPLE_PAPER=... -P CheckInstallLayout.cmake
# Installs the build into an empty folder and checks that the folder works on its own:
# everything the editor looks for beside itself is there, and the installed paperconv
# converts a paper through .xls (its helper found beside it) and .xlsx and back.
foreach(var BUILD_DIR WORK_DIR SAMPLE_PAPER)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()

file(REMOVE_RECURSE ${WORK_DIR})
set(folder ${WORK_DIR}/program)
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${folder}
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${status}")
endif()

foreach(program paperedit paperconv paperxlsread)
  execute_process(COMMAND test -f ${folder}/${program} -a -x ${folder}/${program}
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${program} is not installed as a program")
  endif()
endforeach()
foreach(module libpaperconv-workbooks.so libpaperconv-print.so)
  if(NOT EXISTS ${folder}/${module})
    message(FATAL_ERROR "paperconv's module ${module} is not installed beside it")
  endif()
endforeach()
file(SIZE ${folder}/TypeInfo.con typeinfo_size)
if(NOT typeinfo_size EQUAL 116)
  message(FATAL_ERROR "TypeInfo.con holds ${typeinfo_size} bytes, not one 116-byte record")
endif()
file(GLOB exported ${folder}/test_papers/*)
if(NOT IS_DIRECTORY ${folder}/test_papers OR exported)
  message(FATAL_ERROR "test_papers is not an empty folder: ${exported}")
endif()

# The installed paperconv must find its .xls helper beside itself.
function(convert from to)
  execute_process(COMMAND ${folder}/paperconv ${from} ${to}
                  RESULT_VARIABLE status ERROR_VARIABLE errors)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "paperconv ${from} ${to} failed (${status}): ${errors}")
  endif()
endfunction()
convert(${SAMPLE_PAPER} ${WORK_DIR}/reference.csv)
foreach(format xls xlsx)
  convert(${SAMPLE_PAPER} ${WORK_DIR}/paper.${format})
  convert(${WORK_DIR}/paper.${format} ${WORK_DIR}/from-${format}.csv)
  file(READ ${WORK_DIR}/reference.csv expected)
  file(READ ${WORK_DIR}/from-${format}.csv actual)
  if(NOT expected STREQUAL actual)
    message(FATAL_ERROR "the paper read back from .${format} differs from the original")
  endif()
endforeach()
# Printing loads the other module.
convert(${SAMPLE_PAPER} ${WORK_DIR}/paper.pdf)
file(REMOVE_RECURSE ${WORK_DIR})
