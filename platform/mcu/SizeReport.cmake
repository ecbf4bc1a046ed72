# Size report of one linked image: bytes per kind of content, use of each
# memory region, and the large fixed blocks against their budget. A block
# over its budget fails the build (an overflowing region already fails the
# link). Run with -DIMAGE= -DNM= -DSIZE= -DREPORT= (the report file).

cmake_minimum_required(VERSION 3.25)

# Budgeted blocks: name, symbols (comma-separated), bytes.
set(budget
  "frame buffers|frameBuf|1536000"
  "map cache|mapCache|798344"
  "GPU stencil and pool|gpu_stencil_buffer_mem,gpu_pool_mem|429824"
  "kernel heap|kernelHeap|80000"
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

run_tool(section_table "${SIZE}" -A "${IMAGE}")
string(REPLACE "\n" ";" section_lines "${section_table}")
foreach(kind IN LISTS kinds)
  string(REPLACE "|" ";" fields "${kind}")
  list(GET fields 0 label)
  list(GET fields 1 sections)
  string(REPLACE "," ";" sections "${sections}")
  set(bytes 0)
  foreach(line IN LISTS section_lines)
    if(line MATCHES "^([^ ]+) +([0-9]+) +[0-9]+")
      if(CMAKE_MATCH_1 IN_LIST sections)
        math(EXPR bytes "${bytes} + ${CMAKE_MATCH_2}")
      endif()
    endif()
  endforeach()
  pad("${label}" 24 label)
  string(APPEND report "  ${label}${bytes}\n")
endforeach()

# Region lengths from the link map, use from --print-memory-usage's source:
# the sections' addresses.
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
  foreach(section_line IN LISTS section_lines)
    if(section_line MATCHES "^([^ ]+) +([0-9]+) +([0-9]+)" AND NOT CMAKE_MATCH_2 EQUAL 0)
      set(section_size ${CMAKE_MATCH_2})
      set(address ${CMAKE_MATCH_3})
      if(address GREATER_EQUAL origin AND address LESS end)
        math(EXPR used "${used} + ${section_size}")
      endif()
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
  message(FATAL_ERROR "${image_name} is over its memory budget:\n${overruns}")
endif()
