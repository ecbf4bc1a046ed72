# Fails when a linked image holds one of the C library's transcendental
# functions: their results differ between C libraries, and the firmware
# must compute the same frame on every one, so it uses portable/Math.hpp.
# Run with -DIMAGE= -DNM=.

cmake_minimum_required(VERSION 3.25)

set(functions
  sin cos tan asin acos atan atan2 sinh cosh tanh asinh acosh atanh
  exp exp2 expm1 log log10 log2 log1p pow hypot cbrt sincos)
set(forbidden "")
foreach(function IN LISTS functions)
  list(APPEND forbidden "${function}" "${function}f" "${function}l")
endforeach()

execute_process(COMMAND "${NM}" "${IMAGE}" OUTPUT_VARIABLE symbol_table RESULT_VARIABLE result ERROR_VARIABLE error)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${NM} ${IMAGE} failed: ${error}")
endif()
string(REPLACE "\n" ";" symbol_lines "${symbol_table}")
set(found "")
foreach(line IN LISTS symbol_lines)
  # Functions the image defines, or an object file still asks for.
  if(line MATCHES " [TtWwU] ([A-Za-z0-9_]+)$" AND CMAKE_MATCH_1 IN_LIST forbidden)
    list(APPEND found "${CMAKE_MATCH_1}")
  endif()
endforeach()

get_filename_component(image_name "${IMAGE}" NAME)
if(found)
  list(REMOVE_DUPLICATES found)
  list(JOIN found ", " names)
  message(FATAL_ERROR "${image_name} links the C library's ${names}: call the functions in portable/Math.hpp")
endif()
