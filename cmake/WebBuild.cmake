# What the browser build takes from outside: nanopb from its Debian source
# package (as the board build does), cairo and pixman as scripts/wasm-libs
# built them, and the host's JSON headers (header-only) for the trace lines.
include(${PROJECT_SOURCE_DIR}/cmake/NanopbFromSource.cmake)

set(MAPBOARD_WASM_LIBS "${PROJECT_SOURCE_DIR}/build/wasm-libs/current"
  CACHE PATH "cairo and pixman built for WebAssembly by scripts/wasm-libs")
if(NOT EXISTS "${MAPBOARD_WASM_LIBS}/lib/libcairo.a")
  message(FATAL_ERROR "cairo for WebAssembly is missing from ${MAPBOARD_WASM_LIBS}: run scripts/wasm-libs")
endif()
add_library(cairo_web INTERFACE)
target_include_directories(cairo_web SYSTEM INTERFACE "${MAPBOARD_WASM_LIBS}/include/cairo")
target_link_libraries(cairo_web
  INTERFACE "${MAPBOARD_WASM_LIBS}/lib/libcairo.a" "${MAPBOARD_WASM_LIBS}/lib/libpixman-1.a")
add_library(PkgConfig::CAIRO ALIAS cairo_web)

# Only that folder of the host's headers: the rest would shadow the
# WebAssembly C library's.
find_path(MAPBOARD_JSON_INCLUDE nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
file(MAKE_DIRECTORY "${CMAKE_BINARY_DIR}/json-include")
file(CREATE_LINK "${MAPBOARD_JSON_INCLUDE}/nlohmann" "${CMAKE_BINARY_DIR}/json-include/nlohmann" SYMBOLIC)
add_library(nlohmann_json_web INTERFACE)
target_include_directories(nlohmann_json_web SYSTEM INTERFACE "${CMAKE_BINARY_DIR}/json-include")
add_library(nlohmann_json::nlohmann_json ALIAS nlohmann_json_web)

include(cmake/WasmSections.cmake)
