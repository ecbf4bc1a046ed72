# The board's processor: a Cortex-M33 class core, thumb code, single-precision
# hardware floating point, newlib from Debian's arm-none-eabi packages.
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_PROCESSOR arm)

set(CMAKE_C_COMPILER arm-none-eabi-gcc)
set(CMAKE_CXX_COMPILER arm-none-eabi-g++)
set(CMAKE_ASM_COMPILER arm-none-eabi-gcc)
# No start-up files or system calls until the firmware links its own.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)

set(mcu_cpu_flags "-mcpu=cortex-m33 -mfpu=fpv5-sp-d16 -mfloat-abi=hard -mthumb")
# Every float operation rounded on its own, as on the PC: no fused multiply-add.
# Square roots, floors and ceilings by the core's own instructions, exact as
# the library's: nothing in the firmware reads errno.
set(mcu_float_flags "-ffp-contract=off -fno-math-errno")
set(CMAKE_ASM_FLAGS_INIT "${mcu_cpu_flags}")
set(CMAKE_C_FLAGS_INIT "${mcu_cpu_flags} ${mcu_float_flags} -ffunction-sections -fdata-sections")
# Nothing in the firmware throws or asks for a type at run time.
set(CMAKE_CXX_FLAGS_INIT "${mcu_cpu_flags} ${mcu_float_flags} -ffunction-sections -fdata-sections -fno-exceptions -fno-rtti")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${mcu_cpu_flags} --specs=nano.specs -nostartfiles -Wl,--gc-sections")

set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
