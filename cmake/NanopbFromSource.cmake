# nanopb for builds that cannot link the host's library (the 32-bit board,
# WebAssembly): the source package of the host's libnanopb-dev, unpacked into
# the build tree by scripts/setup, so every build decodes with the same code.
# The firmware only decodes.
execute_process(COMMAND dpkg-query -W -f=\${Version} libnanopb-dev
  OUTPUT_VARIABLE nanopb_version RESULT_VARIABLE nanopb_query)
set(MAPBOARD_NANOPB_SOURCE "${PROJECT_SOURCE_DIR}/build/nanopb/${nanopb_version}"
  CACHE PATH "Unpacked nanopb source package")
if(NOT nanopb_query EQUAL 0 OR NOT EXISTS "${MAPBOARD_NANOPB_SOURCE}/pb_decode.c")
  message(FATAL_ERROR "nanopb's sources are missing from ${MAPBOARD_NANOPB_SOURCE}: run scripts/setup")
endif()
add_library(nanopb_from_source STATIC "${MAPBOARD_NANOPB_SOURCE}/pb_common.c" "${MAPBOARD_NANOPB_SOURCE}/pb_decode.c")
target_include_directories(nanopb_from_source SYSTEM PUBLIC "${MAPBOARD_NANOPB_SOURCE}")
add_library(nanopb::protobuf-nanopb-static ALIAS nanopb_from_source)
