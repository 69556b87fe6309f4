# Runs one golden case of tervane-cli; see CMakeLists.txt for the layout.
# Inputs: CLI, CASE_FILE, DATA_DIR, SHIPPED_PARTS, VERSION, OUT_DIR, and
# EMULATOR, the command that runs CLI when it is built for another system
# (empty otherwise).
#
# A case file may use ${DATA_DIR}, ${SHIPPED_PARTS} and ${VERSION}, and may
# set EXPECT_STDOUT instead of having a .out file.

unset(ARGS)
unset(EXIT)
unset(EXPECT_STDOUT)
include(${CASE_FILE})
if(NOT DEFINED ARGS OR NOT DEFINED EXIT)
  message(FATAL_ERROR "${CASE_FILE} must set ARGS and EXIT")
endif()

get_filename_component(case_dir ${CASE_FILE} DIRECTORY)
get_filename_component(case_name ${CASE_FILE} NAME_WE)
set(expected_out ${case_dir}/${case_name}.out)
set(expected_err ${case_dir}/${case_name}.err)
set(actual_out ${OUT_DIR}/${case_name}.out)
set(actual_err ${OUT_DIR}/${case_name}.err)
file(MAKE_DIRECTORY ${OUT_DIR})

if(DEFINED EXPECT_STDOUT)
  set(expected_out ${OUT_DIR}/${case_name}.expected)
  file(WRITE ${expected_out} "${EXPECT_STDOUT}")
elseif(NOT EXISTS ${expected_out})
  message(FATAL_ERROR "missing ${expected_out}")
endif()
if(NOT EXISTS ${expected_err})
  set(expected_err ${OUT_DIR}/${case_name}.noerr)
  file(WRITE ${expected_err} "")
endif()

execute_process(
  COMMAND ${EMULATOR} ${CLI} ${ARGS}
  WORKING_DIRECTORY ${DATA_DIR}
  OUTPUT_FILE ${actual_out}
  ERROR_FILE ${actual_err}
  RESULT_VARIABLE status)

set(failures "")
if(NOT "${status}" STREQUAL "${EXIT}")
  string(APPEND failures "exit status ${status}, expected ${EXIT}\n")
endif()
foreach(stream IN ITEMS out err)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E compare_files ${expected_${stream}} ${actual_${stream}}
    RESULT_VARIABLE differs OUTPUT_QUIET ERROR_QUIET)
  if(differs)
    file(READ ${actual_${stream}} got)
    file(READ ${expected_${stream}} want)
    string(APPEND failures "std${stream} differs from ${expected_${stream}}\n"
           "--- expected\n${want}\n--- actual (${actual_${stream}})\n${got}\n")
  endif()
endforeach()

if(failures)
  list(JOIN ARGS " " command_line)
  message(FATAL_ERROR "tervane-cli ${command_line}\n${failures}")
endif()
