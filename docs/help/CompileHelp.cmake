# Runs chmcmd on the staged guide and installs the result only when the compiler
# reported nothing: a warning means a page links to a file the guide does not hold.
get_filename_component(stage ${PROJECT_FILE} DIRECTORY)
file(REMOVE ${stage}/paperedit.chm)
execute_process(
  COMMAND ${CHMCMD} ${PROJECT_FILE}
  WORKING_DIRECTORY ${stage}
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE result)
string(REGEX MATCHALL "[^\n]*(Warning|Error|error)[^\n]*" problems "${out}${err}")
if(NOT result EQUAL 0 OR problems OR NOT EXISTS ${stage}/paperedit.chm)
  message(FATAL_ERROR "chmcmd failed (exit ${result}):\n${out}${err}")
endif()
file(COPY_FILE ${stage}/paperedit.chm ${OUTPUT} ONLY_IF_DIFFERENT)
