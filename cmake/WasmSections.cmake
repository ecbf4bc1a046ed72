# WebAssembly's assembler knows no .pushsection, names a data section's
# flags its own way and wants every data symbol's size. wasm_sections_source()
# rewrites a source whose inline assembly embeds a file (the resource tables,
# the tile collection) for it, with the file's full path; a label that ends
# the assembly (an end marker) has size 0.
if(CMAKE_SCRIPT_MODE_FILE)
  file(READ "${INPUT}" text)
  string(REGEX REPLACE "\\.pushsection ([^,\n]+), \"a\"" ".section \\1,\"\",@" text "${text}")
  string(REGEX REPLACE "\n[ ]*\\.popsection" "" text "${text}")
  string(REGEX REPLACE "\\.incbin \"([^/\"][^\"]*)\"" ".incbin \"${INCLUDE_DIR}/\\1\"" text "${text}")
  string(REGEX REPLACE "\n([A-Za-z_][A-Za-z0-9_]*):(\n[ ]*)(\\.incbin [^\n]*)"
    "\n\\1:\\2\\3\\2.size \\1, . - \\1" text "${text}")
  string(REGEX REPLACE "\n([A-Za-z_][A-Za-z0-9_]*):\n\\)" "\n\\1:\n    .size \\1, 0\n)" text "${text}")
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
