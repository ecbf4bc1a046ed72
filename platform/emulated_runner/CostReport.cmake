# The firmware's cost on the emulated board, in emulated time (QEMU counting
# instructions): the scenarios played by the runner with --cost-report,
# then the emulated board's image against the board's in code and data.
# Run with -DEMULATED= (the runner) -DSCRIPTS= (the scenario folder)
# -DWORK= (where the last frames go) -DEMULATED_IMAGE= -DBOARD_IMAGE=;
# -DBUDGET=ON fails when a frame reported takes more than one 60 Hz frame
# of the board's core in instructions or in board time.

cmake_minimum_required(VERSION 3.25)

# Scenario script, frames to run, board time (ms) the report starts at.
set(scenarios
  "pan_zoom16|540|2000"
  "pizza_delivery|360|1000"
  "dog_screen|300|1000"
  "pinch_rotate_delivery|240|1000"
  "menu_screens|360|900"
  "pan_zoom14_throttled|420|1000"
  "dense_tiles|420|100"
)

file(MAKE_DIRECTORY "${WORK}")
foreach(scenario IN LISTS scenarios)
  string(REPLACE "|" ";" fields "${scenario}")
  list(GET fields 0 name)
  list(GET fields 1 frames)
  list(GET fields 2 from)
  set(budget "")
  if(BUDGET)
    set(budget --cost-budget)
  endif()
  execute_process(
    COMMAND "${EMULATED}" --cost-report ${budget} --script "${SCRIPTS}/${name}.script" --frames ${frames}
      --cost-from ${from} --out "${WORK}/${name}.png"
    RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "The ${name} scenario failed (exit status ${result})")
  endif()
endforeach()

# The kinds of content of an image's size report, in bytes.
function(read_sizes image prefix)
  string(REGEX REPLACE "\\.elf$" ".size.txt" report "${image}")
  file(STRINGS "${report}" lines)
  foreach(kind text rodata data bss)
    set(${prefix}_${kind} 0 PARENT_SCOPE)
    foreach(line IN LISTS lines)
      if(line MATCHES "^  ${kind} +([0-9]+)$")
        set(${prefix}_${kind} ${CMAKE_MATCH_1} PARENT_SCOPE)
      endif()
    endforeach()
  endforeach()
endfunction()

read_sizes("${EMULATED_IMAGE}" emulated)
read_sizes("${BOARD_IMAGE}" board)
math(EXPR emulated_code "${emulated_text} + ${emulated_rodata}")
math(EXPR board_code "${board_text} + ${board_rodata}")
math(EXPR emulated_ram "${emulated_data} + ${emulated_bss}")
math(EXPR board_ram "${board_data} + ${board_bss}")

function(size_row label emulated board)
  math(EXPR difference "${emulated} - ${board}")
  if(difference GREATER_EQUAL 0)
    set(difference "+${difference}")
  endif()
  string(LENGTH "${label}" width)
  math(EXPR pad "30 - ${width}")
  string(REPEAT " " ${pad} gap)
  message("  ${label}${gap}${emulated}\t${board}\t${difference}")
endfunction()

message("== image sizes in bytes: emulated.elf\tfirmware.elf (the board's)\tdifference")
size_row("code (text)" ${emulated_text} ${board_text})
size_row("constants (rodata)" ${emulated_rodata} ${board_rodata})
size_row("code and constants" ${emulated_code} ${board_code})
size_row("initialised data" ${emulated_data} ${board_data})
size_row("zeroed data (bss)" ${emulated_bss} ${board_bss})
size_row("data in RAM" ${emulated_ram} ${board_ram})
message("  (frame buffers, GPU pools and the tile collection lie outside these; see the *.size.txt beside each image)")
