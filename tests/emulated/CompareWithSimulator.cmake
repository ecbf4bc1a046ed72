# Runs the same frames on the simulator (headless, board time) and on the
# emulated board, and fails unless every checkpoint picture and the last
# frame are the same bytes.
# Run with -DEMULATED= -DSIMULATOR= -DFRAMES= -DEVERY= -DWORK= and, for a
# run with input, -DSCRIPT= (the same script for both).

file(REMOVE_RECURSE "${WORK}")
set(script_option "")
if(SCRIPT)
  set(script_option --script "${SCRIPT}")
endif()
foreach(side IN ITEMS simulator emulated)
  file(MAKE_DIRECTORY "${WORK}/${side}")
endforeach()

execute_process(COMMAND "${SIMULATOR}" --headless --frames ${FRAMES} --screenshot-every ${EVERY} ${script_option}
    --out "${WORK}/simulator/last.png"
  RESULT_VARIABLE simulator_result ERROR_VARIABLE simulator_error OUTPUT_QUIET)
if(NOT simulator_result EQUAL 0)
  message(FATAL_ERROR "The simulator failed (${simulator_result}):\n${simulator_error}")
endif()
execute_process(COMMAND "${EMULATED}" --frames ${FRAMES} --screenshot-every ${EVERY} ${script_option}
    --out "${WORK}/emulated/last.png"
  RESULT_VARIABLE emulated_result ERROR_VARIABLE emulated_error OUTPUT_QUIET)
if(NOT emulated_result EQUAL 0)
  message(FATAL_ERROR "The emulated board failed (${emulated_result}):\n${emulated_error}")
endif()

file(GLOB pictures RELATIVE "${WORK}/simulator" "${WORK}/simulator/*.png")
list(LENGTH pictures count)
math(EXPR expected "${FRAMES} / ${EVERY} + 1")
if(NOT count EQUAL expected)
  message(FATAL_ERROR "The simulator saved ${count} pictures, not ${expected}")
endif()
foreach(picture IN LISTS pictures)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK}/simulator/${picture}"
      "${WORK}/emulated/${picture}"
    RESULT_VARIABLE different)
  if(NOT different EQUAL 0)
    message(FATAL_ERROR "${picture} differs between the simulator and the emulated board (${WORK})")
  endif()
endforeach()
message("${count} pictures equal")
