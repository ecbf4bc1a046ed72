# A set-up step that fails on the emulated board stops it in Error_Handler,
# which names the step; the runner then ends with a non-zero status.
# Run with -DEMULATED= -DWORK=.

file(MAKE_DIRECTORY "${WORK}")
foreach(case IN ITEMS "gpu-init=GPU library initialisation" "blitter-init=blitter configuration")
  string(REPLACE "=" ";" case "${case}")
  list(GET case 0 fault)
  list(GET case 1 step)
  execute_process(COMMAND "${EMULATED}" --fault ${fault} --frames 5 --out "${WORK}/${fault}.png"
    RESULT_VARIABLE result ERROR_VARIABLE report OUTPUT_QUIET)
  if(result EQUAL 0)
    message(FATAL_ERROR "--fault ${fault}: the run ended well:\n${report}")
  endif()
  if(NOT report MATCHES "board: Error_Handler: ${step} failed; the board halts")
    message(FATAL_ERROR "--fault ${fault}: no Error_Handler report naming the step:\n${report}")
  endif()
endforeach()
