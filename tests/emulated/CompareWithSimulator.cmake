# Runs the same frames on the simulator (headless, board time) and on the
# emulated board, and fails unless every checkpoint picture and the last
# frame are the same bytes and the traces agree line for line.
# Run with -DEMULATED= -DSIMULATOR= -DFRAMES= -DEVERY= -DWORK= and, for a
# run with input, -DSCRIPT= (the same script for both) and -DEXPECT=
# "KEY=VALUE" of the last trace line, which shows the script was played;
# -DFIRST_EXPECT= the same of the first frame's line;
# -DFAULT= gives both the same --fault.

file(REMOVE_RECURSE "${WORK}")
set(script_option "")
if(SCRIPT)
  set(script_option --script "${SCRIPT}")
endif()
if(FAULT)
  list(APPEND script_option --fault "${FAULT}")
endif()
foreach(side IN ITEMS simulator emulated)
  file(MAKE_DIRECTORY "${WORK}/${side}")
endforeach()

execute_process(COMMAND "${SIMULATOR}" --headless --frames ${FRAMES} --screenshot-every ${EVERY} ${script_option}
    --trace "${WORK}/simulator/trace.jsonl" --out "${WORK}/simulator/last.png"
  RESULT_VARIABLE simulator_result ERROR_VARIABLE simulator_error OUTPUT_QUIET)
if(NOT simulator_result EQUAL 0)
  message(FATAL_ERROR "The simulator failed (${simulator_result}):\n${simulator_error}")
endif()
execute_process(COMMAND "${EMULATED}" --frames ${FRAMES} --screenshot-every ${EVERY} ${script_option}
    --trace "${WORK}/emulated/trace.jsonl" --out "${WORK}/emulated/last.png"
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

# What differs by nature: the host's times and load, and the figures of each
# side's own kernel and GPU pools (the simulator's are host structures).
# Whole files at once: a JSON parse per line would slow the test tenfold.
set(own_fields "\"(host_time_ms|host_draw_ms|load_percent|kernel heap|kernel queue [0-9]+|gpu pool [0-9]+)\":[-0-9.e]+,?")
foreach(side IN ITEMS simulator emulated)
  file(READ "${WORK}/${side}/trace.jsonl" text)
  string(REGEX REPLACE "${own_fields}" "" text "${text}")
  string(REGEX REPLACE ",}" "}" ${side}_trace "${text}")
  string(REGEX MATCHALL "\n" newlines "${text}")
  list(LENGTH newlines ${side}_lines)
endforeach()
if(NOT simulator_lines EQUAL FRAMES OR NOT emulated_lines EQUAL FRAMES)
  message(FATAL_ERROR "The traces hold ${simulator_lines} and ${emulated_lines} lines, not ${FRAMES}")
endif()
if(NOT simulator_trace STREQUAL emulated_trace)
  file(WRITE "${WORK}/simulator/comparable.jsonl" "${simulator_trace}")
  file(WRITE "${WORK}/emulated/comparable.jsonl" "${emulated_trace}")
  message(FATAL_ERROR "The traces differ: compare ${WORK}/*/comparable.jsonl")
endif()
set(lines ${simulator_lines})

# KEY=VALUE of one frame's trace line (the two traces are equal by now).
function(expect_in_frame frame expected what)
  string(REPLACE "=" ";" expect "${expected}")
  list(GET expect 0 key)
  list(GET expect 1 value)
  string(REPLACE "." ";" path "${key}")
  file(STRINGS "${WORK}/emulated/trace.jsonl" line REGEX "^{\"frame\":${frame},")
  string(JSON shown GET "${line}" ${path})
  if(NOT shown STREQUAL value)
    message(FATAL_ERROR "${what}: ${key} is '${shown}' at frame ${frame}, not '${value}'")
  endif()
endfunction()
if(FIRST_EXPECT)
  expect_in_frame(1 "${FIRST_EXPECT}" "The board did not start as it should")
endif()
if(EXPECT)
  expect_in_frame(${FRAMES} "${EXPECT}" "The script was not played")
endif()
message("${count} pictures and ${lines} trace lines equal")
