# Runs the self-check on the PC and on the emulated board and fails unless
# every checksum line agrees. The emulator counts instructions (-icount), so
# the board's "cost" lines are printed for the record.
# Run with -DHOST= -DQEMU= -DIMAGE=.

execute_process(COMMAND "${HOST}" OUTPUT_VARIABLE host_output RESULT_VARIABLE host_result)
if(NOT host_result EQUAL 0)
  message(FATAL_ERROR "The PC self-check failed (${host_result}):\n${host_output}")
endif()

execute_process(
  COMMAND "${QEMU}" -M mps2-an505 -cpu cortex-m33 -nographic -monitor none -serial none
    -chardev stdio,id=console -semihosting-config enable=on,target=native,chardev=console
    -icount shift=0,sleep=off -kernel "${IMAGE}"
  OUTPUT_VARIABLE board_output ERROR_VARIABLE board_error RESULT_VARIABLE board_result
  TIMEOUT 240)
if(NOT board_result EQUAL 0)
  message(FATAL_ERROR "The emulated board's self-check failed (${board_result}):\n${board_output}${board_error}")
endif()

string(REGEX MATCHALL "[a-z]+ [0-9]+ checksum [0-9a-f]+" host_lines "${host_output}")
string(REGEX MATCHALL "[a-z]+ [0-9]+ checksum [0-9a-f]+" board_lines "${board_output}")
message("PC:\n${host_output}\nemulated board:\n${board_output}")
list(LENGTH host_lines count)
if(count EQUAL 0 OR NOT host_lines STREQUAL board_lines)
  message(FATAL_ERROR "The emulated board computes something else than the PC")
endif()
