# The firmware for the 32-bit board, cross-built inside this build with the
# mcu preset's toolchain once the host tools have made the tile collection
# and the bitmap table, and its self-check compared with the PC's on the
# emulator (tests/mcu).
include(ExternalProject)

set(MCU_BUILD_DIR "${PROJECT_BINARY_DIR}/mcu")
set(MCU_SELFCHECK_IMAGE "${MCU_BUILD_DIR}/platform/mcu/selfcheck/selfcheck.elf")
set(MCU_EMULATED_IMAGE "${MCU_BUILD_DIR}/platform/mcu/emulated_port/emulated.elf")
set(MCU_BOARD_IMAGE "${MCU_BUILD_DIR}/platform/mcu/firmware/firmware.elf")

ExternalProject_Add(mcu_firmware
  SOURCE_DIR "${PROJECT_SOURCE_DIR}"
  BINARY_DIR "${MCU_BUILD_DIR}"
  CMAKE_ARGS
    "--toolchain=${PROJECT_SOURCE_DIR}/platform/mcu/toolchain.cmake"
    -DCMAKE_BUILD_TYPE=RelWithDebInfo
    "-DMAPBOARD_HOST_BUILD_DIR=${PROJECT_BINARY_DIR}"
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS "${MCU_SELFCHECK_IMAGE}" "${MCU_EMULATED_IMAGE}" "${MCU_BOARD_IMAGE}"
  DEPENDS default_flash gui_resources)
