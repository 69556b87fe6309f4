# A short, repeatable run of one fuzzer for CTest: a fixed seed and a fixed
# number of inputs, starting from a copy of its seed corpus so that what it
# finds never lands in the repository. Inputs: FUZZER, SEEDS, PART_FILE,
# WORK_DIR, RUNS.
#
# The run happens in WORK_DIR, next to a copy of the shipped part library,
# so that tervane-cli finds a tervane.txt there as it does in data/.

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/corpus)
file(COPY ${SEEDS}/ DESTINATION ${WORK_DIR}/corpus)
file(COPY ${PART_FILE} DESTINATION ${WORK_DIR})

execute_process(
  COMMAND ${FUZZER} -seed=1 -runs=${RUNS} -artifact_prefix=${WORK_DIR}/ ${WORK_DIR}/corpus
  WORKING_DIRECTORY ${WORK_DIR}
  OUTPUT_FILE ${WORK_DIR}/log.txt
  ERROR_FILE ${WORK_DIR}/log.txt
  RESULT_VARIABLE status)

if(NOT status EQUAL 0)
  file(READ ${WORK_DIR}/log.txt log)
  message(FATAL_ERROR "${FUZZER} failed (${status}); the input is in ${WORK_DIR}\n${log}")
endif()
