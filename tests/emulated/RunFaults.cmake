# Every way a run on the emulated board can go wrong ends it with the
# board's report and a non-zero status, never a hang: a set-up step that
# fails (Error_Handler names it), a failed assertion, a hard fault, a task's
# stack overflow, a display that stops (the board time bound), a fault name
# or a script the board refuses (status 2). A cleared watchdog flag resets
# the board 2 s after its last refresh, and the run goes on.
# Run with -DEMULATED= -DWORK=.

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

# run(NAME EXPECTED_STATUS REPORT_REGEX ARGS...)
function(run name status report)
  execute_process(COMMAND "${EMULATED}" ${ARGN} --out "${WORK}/${name}.png"
    RESULT_VARIABLE result ERROR_VARIABLE error OUTPUT_VARIABLE output)
  if(NOT result EQUAL status)
    message(FATAL_ERROR "${name}: exit status ${result}, not ${status}:\n${error}")
  endif()
  if(NOT "${error}" MATCHES "${report}")
    message(FATAL_ERROR "${name}: no report matching '${report}':\n${error}")
  endif()
endfunction()

run(gpu-init 1 "board: Error_Handler: GPU library initialisation failed; the board halts" --fault gpu-init --frames 5)
run(blitter-init 1 "board: Error_Handler: blitter configuration failed; the board halts" --fault blitter-init --frames 5)
run(gpu-stencil 1 "board: Error_Handler: GPU stencil buffer creation failed" --fault gpu-stencil --frames 5)
run(assertion 1 "assertion \"bo.base_virt != 0 && \"Unable to allocate memory in gpu_buffer_create\"\" failed"
  --fault gpu-pool --frames 5)
run(hard-fault 1 "hard fault: undefined instruction in task GUI_Task.*stopped \\(exit status 1\\) after frame 7\n"
  --fault hard-fault@100 --frames 30)
run(stack-overflow 1 "hard fault: stack overflow \\(a push crossed the stack limit\\) in task GUI_Task"
  --fault stack-overflow@100 --frames 30)
# 30 frames: board time past 30 x 34 + 1000 ms without the frames ends the run.
run(stalled 1 "stopped producing frames after frame 6: none by board time 2021 ms" --fault vsync-lost@100 --frames 30)
run(unknown-fault 2 "--fault touch-sideways: unknown fault" --fault touch-sideways)
run(foreign-fault 2 "--fault vsync-late=5: the emulated board does not show this fault" --fault vsync-late=5)
file(WRITE "${WORK}/bad.script" "100 press 10 10\n200 wave\n")
run(bad-script 2 "bad.script:2: unknown step .wave." --script "${WORK}/bad.script")

# Refreshed last at 800 ms: the timeout ends at 2800 ms, and the board
# starts again, its board time from 0, for the frames still to run.
file(WRITE "${WORK}/watchdog.script" "1000 watchdog-refresh off\n")
run(watchdog 0 "watchdog reset at 2800 ms; the board restarts" --script "${WORK}/watchdog.script" --frames 300
  --trace "${WORK}/watchdog.jsonl")
file(STRINGS "${WORK}/watchdog.jsonl" lines)
list(LENGTH lines count)
list(GET lines 167 before)
list(GET lines 168 after)
string(JSON before_ms GET "${before}" time_ms)
string(JSON after_ms GET "${after}" time_ms)
string(JSON after_frame GET "${after}" frame)
if(NOT count EQUAL 300 OR NOT before_ms EQUAL 2799 OR NOT after_ms EQUAL 16 OR NOT after_frame EQUAL 169)
  message(FATAL_ERROR "watchdog: ${count} frames, ${before_ms} ms then frame ${after_frame} at ${after_ms} ms; "
    "expected 300 frames, 2799 ms then frame 169 at 16 ms")
endif()
