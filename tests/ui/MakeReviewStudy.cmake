# Makes the stress study the review window tests open: the simulator's
# stress profile run through `tarvelin-ecg-cli run` with Bruce into a store
# of its own; the study's id goes to ID_FILE.
file(REMOVE_RECURSE ${STORE})
execute_process(
  COMMAND ${SIM} record --out ${RECORDING} --profile stress --seconds 270 --hr 70 --peak-hr 160 --st V5=-0.15
          --seed 5
  RESULT_VARIABLE sim_status)
if(NOT sim_status EQUAL 0)
  message(FATAL_ERROR "the simulator failed: ${sim_status}")
endif()
execute_process(
  COMMAND ${CLI} run --store ${STORE} --protocol Bruce --input ${RECORDING} --weight 80 --age 55 --sex M
          --last Doe --first John --bp 40:120/80 --bp 100:140/82 --bp 160:165/84 --bp 230:130/78
          --next-at 60 --next-at 120 --recovery-at 180
  OUTPUT_VARIABLE run_output
  RESULT_VARIABLE run_status)
if(NOT run_status EQUAL 0)
  message(FATAL_ERROR "tarvelin-ecg-cli run failed: ${run_status}")
endif()
string(REGEX MATCH "study ([0-9]+)" found "${run_output}")
file(WRITE ${ID_FILE} "${CMAKE_MATCH_1}")
