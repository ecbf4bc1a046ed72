# Warnings are errors for everything the project compiles itself.
add_library(project_warnings INTERFACE)
target_compile_options(project_warnings INTERFACE -Wall -Wextra -Werror -Wshadow)

# The firmware's own libraries also keep every narrowing and sign change
# explicit: int, long and pointers differ between the PC and the 32-bit
# board, and a silent conversion shows on one of them only.
add_library(firmware_warnings INTERFACE)
target_compile_options(firmware_warnings INTERFACE -Wconversion -Wsign-conversion -Wpedantic)
