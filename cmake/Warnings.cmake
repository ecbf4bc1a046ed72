# Warnings are errors for everything the project compiles itself.
add_library(project_warnings INTERFACE)
target_compile_options(project_warnings INTERFACE -Wall -Wextra -Werror -Wshadow)
