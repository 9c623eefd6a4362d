# Makes the resting study the resting review window tests open: the first
# 10 s of the demonstration recording through `tarvelin-ecg-cli resting`,
# which stores it as the resting monitor does, into a store of its own; the
# study's id goes to ID_FILE.
file(REMOVE_RECURSE ${STORE})
execute_process(
  COMMAND ${CLI} resting --store ${STORE} --raw ${RECORDING} --rate 500 --channels 14 --last Roe --first Jane --age 61
  OUTPUT_VARIABLE run_output
  RESULT_VARIABLE run_status)
if(NOT run_status EQUAL 0)
  message(FATAL_ERROR "tarvelin-ecg-cli resting failed: ${run_status}")
endif()
string(REGEX MATCH "study ([0-9]+)" found "${run_output}")
file(WRITE ${ID_FILE} "${CMAKE_MATCH_1}")
