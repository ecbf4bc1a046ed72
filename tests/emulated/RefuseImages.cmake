# emulatedboard starts only an image the board can run: anything else is
# refused before QEMU starts, in one line naming the file, with status 2.
# The real image still runs. Run with -DEMULATED= -DIMAGE= -DWORK=.

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
file(WRITE "${WORK}/text.elf" "root:x:0:0:root:/root:/bin/sh\n")
# The header and program headers whole, the segments cut off.
execute_process(COMMAND head -c 4096 "${IMAGE}" OUTPUT_FILE "${WORK}/truncated.elf")

# refuse(FILE PROBLEM_REGEX)
function(refuse file problem)
  execute_process(COMMAND "${EMULATED}" --image "${file}" --frames 1 --out "${WORK}/refused.png"
    RESULT_VARIABLE result ERROR_VARIABLE error OUTPUT_VARIABLE output)
  string(FIND "${error}" "emulatedboard: ${file}: " at)
  string(REGEX MATCHALL "\n" newlines "${error}")
  list(LENGTH newlines lines)
  if(NOT result EQUAL 2 OR NOT at EQUAL 0 OR NOT lines EQUAL 1 OR NOT error MATCHES ": ${problem}\n$")
    message(FATAL_ERROR "${file}: exit status ${result}, expected 2 and one line matching "
      "'emulatedboard: ${file}: ${problem}':\n${error}")
  endif()
endfunction()

refuse(/dev/null "not an ELF file")
refuse("${WORK}/text.elf" "not an ELF file")
refuse("${WORK}/truncated.elf" "cut short: its segment at 0x[0-9a-f]+ ends past the file's end")
refuse(/bin/true "a 64-bit ELF file, not a 32-bit ARM image")

execute_process(COMMAND "${EMULATED}" --image "${IMAGE}" --frames 3 --out "${WORK}/real.png"
  RESULT_VARIABLE result ERROR_VARIABLE error)
if(NOT result EQUAL 0 OR NOT EXISTS "${WORK}/real.png")
  message(FATAL_ERROR "the real image: exit status ${result}:\n${error}")
endif()
