# WebAssembly's assembler knows no .pushsection and names a data section's
# flags its own way. wasm_sections_source() rewrites a source whose inline
# assembly embeds a file (the resource tables, the tile collection) for it,
# with the file's full path.
if(CMAKE_SCRIPT_MODE_FILE)
  file(READ "${INPUT}" text)
  string(REGEX REPLACE "\\.pushsection ([^,\n]+), \"a\"" ".section \\1,\"\",@" text "${text}")
  string(REGEX REPLACE "\n[ ]*\\.popsection" "" text "${text}")
  string(REGEX REPLACE "\\.incbin \"([^/\"][^\"]*)\"" ".incbin \"${INCLUDE_DIR}/\\1\"" text "${text}")
  file(WRITE "${OUTPUT}" "${text}")
  return()
endif()

set(wasm_sections_script "${CMAKE_CURRENT_LIST_FILE}")
function(wasm_sections_source input output include_dir)
  add_custom_command(OUTPUT "${output}"
    COMMAND "${CMAKE_COMMAND}" "-DINPUT=${input}" "-DOUTPUT=${output}" "-DINCLUDE_DIR=${include_dir}"
      -P "${wasm_sections_script}"
    DEPENDS "${input}" "${wasm_sections_script}"
    VERBATIM)
endfunction()
