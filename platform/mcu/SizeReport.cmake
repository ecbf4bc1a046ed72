# Size report of one linked image: bytes per kind of content, use of each
# memory region, and the large fixed blocks against their budget. A block
# over its budget fails the build (an overflowing region already fails the
# link), and so does a block named in REQUIRED_BLOCKS that the image lacks.
# Run with -DIMAGE= -DNM= -DOBJDUMP= -DREPORT= (the report file) and
# optionally -DREQUIRED_BLOCKS="map cache,...".

cmake_minimum_required(VERSION 3.25)

# Budgeted blocks: name, symbols (comma-separated), bytes.
set(budget
  "frame buffers|frameBuf|1536000"
  "map cache|mapCache|798344"
  "GPU stencil and pool|gpu_stencil_buffer_mem,gpu_pool_mem|429824"
  "kernel heap|kernelHeap|80000"
  "ring spans|ringSpans|29260"
)

# Output sections by kind.
set(kinds
  "text|.vectors,.text,.ARM.exidx,.init_array"
  "rodata|.rodata"
  "data|.data"
  "bss|.bss"
  "heap|.heap"
  "main stack|.stack"
  "frame buffers|.framebuffers"
  "external flash|.external_flash"
)

# A misspelt block would otherwise be required by nobody.
string(REPLACE "," ";" required_blocks "${REQUIRED_BLOCKS}")
set(budget_labels "")
foreach(block IN LISTS budget)
  string(REGEX MATCH "^[^|]+" label "${block}")
  list(APPEND budget_labels "${label}")
endforeach()
foreach(required IN LISTS required_blocks)
  if(NOT required IN_LIST budget_labels)
    message(FATAL_ERROR "Required block '${required}' is not in the budget (${budget_labels})")
  endif()
endforeach()

function(run_tool output)
  execute_process(COMMAND ${ARGN} OUTPUT_VARIABLE text RESULT_VARIABLE result ERROR_VARIABLE error)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${ARGN} failed: ${error}")
  endif()
  set(${output} "${text}" PARENT_SCOPE)
endfunction()

function(pad text width output)
  string(LENGTH "${text}" length)
  set(padded "${text}")
  while(length LESS width)
    string(APPEND padded " ")
    math(EXPR length "${length} + 1")
  endwhile()
  set(${output} "${padded}" PARENT_SCOPE)
endfunction()

get_filename_component(image_name "${IMAGE}" NAME)
set(report "Size report of ${image_name}\n\n")

# Section headers: name, size, run address, load address, then a line of flags.
run_tool(header_text "${OBJDUMP}" -h "${IMAGE}")
string(REPLACE "\n" ";" header_lines "${header_text}")
set(sections "")
set(previous "")
foreach(line IN LISTS header_lines)
  if(line MATCHES "^ *[0-9]+ ([^ ]+) +([0-9a-f]+) +([0-9a-f]+) +([0-9a-f]+)")
    set(previous "${CMAKE_MATCH_1}|${CMAKE_MATCH_2}|${CMAKE_MATCH_3}|${CMAKE_MATCH_4}")
  elseif(previous AND line MATCHES "ALLOC")
    if(line MATCHES "LOAD")
      list(APPEND sections "${previous}|loaded")
    else()
      list(APPEND sections "${previous}|reserved")
    endif()
    set(previous "")
  else()
    set(previous "")
  endif()
endforeach()

foreach(kind IN LISTS kinds)
  string(REPLACE "|" ";" fields "${kind}")
  list(GET fields 0 label)
  list(GET fields 1 wanted)
  string(REPLACE "," ";" wanted "${wanted}")
  set(bytes 0)
  foreach(section IN LISTS sections)
    string(REPLACE "|" ";" parts "${section}")
    list(GET parts 0 name)
    list(GET parts 1 size_hex)
    if(name IN_LIST wanted)
      math(EXPR bytes "${bytes} + 0x${size_hex}")
    endif()
  endforeach()
  pad("${label}" 24 label)
  string(APPEND report "  ${label}${bytes}\n")
endforeach()

# Region lengths from the link map. A section counts where it runs, and
# also where it is loaded from when that differs (.data's initial values).
get_filename_component(image_dir "${IMAGE}" DIRECTORY)
get_filename_component(image_stem "${IMAGE}" NAME_WLE)
file(STRINGS "${image_dir}/${image_stem}.map" map_lines REGEX "^[A-Z_]+ +0x[0-9a-f]+ +0x[0-9a-f]+")
string(APPEND report "\n  region                  used / length\n")
foreach(line IN LISTS map_lines)
  if(NOT line MATCHES "^([A-Z_]+) +0x([0-9a-f]+) +0x([0-9a-f]+)")
    continue()
  endif()
  set(region "${CMAKE_MATCH_1}")
  math(EXPR origin "0x${CMAKE_MATCH_2}")
  math(EXPR length "0x${CMAKE_MATCH_3}")
  math(EXPR end "${origin} + ${length}")
  set(used 0)
  foreach(section IN LISTS sections)
    string(REPLACE "|" ";" parts "${section}")
    list(GET parts 1 size_hex)
    list(GET parts 2 run_hex)
    list(GET parts 3 load_hex)
    list(GET parts 4 how)
    math(EXPR size "0x${size_hex}")
    math(EXPR run "0x${run_hex}")
    math(EXPR load "0x${load_hex}")
    if(run GREATER_EQUAL origin AND run LESS end)
      math(EXPR used "${used} + ${size}")
    elseif(how STREQUAL "loaded" AND load GREATER_EQUAL origin AND load LESS end)
      math(EXPR used "${used} + ${size}")
    endif()
  endforeach()
  pad("${region}" 24 region)
  string(APPEND report "  ${region}${used} / ${length}\n")
endforeach()

run_tool(symbol_table "${NM}" -C -S "${IMAGE}")
string(REPLACE "\n" ";" symbol_lines "${symbol_table}")
set(overruns "")
string(APPEND report "\n  block                   bytes / budget\n")
foreach(block IN LISTS budget)
  string(REPLACE "|" ";" fields "${block}")
  list(GET fields 0 label)
  list(GET fields 1 symbols)
  list(GET fields 2 allowed)
  string(REPLACE "," ";" symbols "${symbols}")
  set(bytes 0)
  set(found FALSE)
  foreach(line IN LISTS symbol_lines)
    if(line MATCHES "^[0-9a-f]+ ([0-9a-f]+) [bBdD] (.+)$")
      set(size_hex "${CMAKE_MATCH_1}")
      set(symbol "${CMAKE_MATCH_2}")
      foreach(wanted IN LISTS symbols)
        if(symbol STREQUAL wanted OR symbol MATCHES "::${wanted}$")
          math(EXPR bytes "${bytes} + 0x${size_hex}")
          set(found TRUE)
        endif()
      endforeach()
    endif()
  endforeach()
  pad("${label}" 24 padded_label)
  if(NOT found)
    string(APPEND report "  ${padded_label}not in this image / ${allowed}\n")
    if(label IN_LIST required_blocks)
      string(APPEND overruns "${label}: not found, though this image holds it\n")
    endif()
  else()
    string(APPEND report "  ${padded_label}${bytes} / ${allowed}\n")
    if(bytes GREATER allowed)
      string(APPEND overruns "${label}: ${bytes} bytes, budget ${allowed}\n")
    endif()
  endif()
endforeach()

file(WRITE "${REPORT}" "${report}")
message("${report}")
if(overruns)
  message(FATAL_ERROR "${image_name} fails its memory budget:\n${overruns}")
endif()
