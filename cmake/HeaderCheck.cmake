# Compiles every public header of a firmware library on its own, one tiny
# source file each, so a header that leans on what its includer happened to
# include first fails the build.
# add_header_check(name LIBRARY target FOLDERS dir...)
function(add_header_check name)
  cmake_parse_arguments(PARSE_ARGV 1 check "" "LIBRARY" "FOLDERS")
  set(sources)
  foreach(folder IN LISTS check_FOLDERS)
    file(GLOB_RECURSE headers RELATIVE "${folder}" CONFIGURE_DEPENDS "${folder}/*")
    list(FILTER headers EXCLUDE REGEX "(\\.cpp|CMakeLists\\.txt)$")
    foreach(header IN LISTS headers)
      string(MAKE_C_IDENTIFIER "${header}" stem)
      set(source "${CMAKE_CURRENT_BINARY_DIR}/header_check/${name}/${stem}.cpp")
      file(CONFIGURE OUTPUT "${source}" CONTENT "#include \"${header}\"\n")
      list(APPEND sources "${source}")
    endforeach()
  endforeach()
  add_library(header_check_${name} OBJECT ${sources})
  target_link_libraries(header_check_${name} PRIVATE ${check_LIBRARY} project_warnings)
endfunction()

add_header_check(board_config LIBRARY board_config
  FOLDERS "${PROJECT_SOURCE_DIR}/interface/board_config/include")
add_header_check(platform_interface LIBRARY platform_interface
  FOLDERS "${PROJECT_SOURCE_DIR}/interface/platform/include")
add_header_check(gpu_api LIBRARY gpu_api FOLDERS "${PROJECT_SOURCE_DIR}/interface/gpu/include")
add_header_check(portable_math LIBRARY portable_math FOLDERS "${PROJECT_SOURCE_DIR}/interface/portable_math/include")
add_header_check(framework LIBRARY framework FOLDERS "${PROJECT_SOURCE_DIR}/framework/include")
add_header_check(vecta LIBRARY vecta_gui
  FOLDERS "${PROJECT_SOURCE_DIR}/vecta/core/include" "${PROJECT_SOURCE_DIR}/vecta/widgets/include")
add_header_check(board_glue LIBRARY board_glue FOLDERS "${PROJECT_SOURCE_DIR}/board_glue/include")
add_header_check(tile_fetcher LIBRARY tile_fetcher FOLDERS "${PROJECT_SOURCE_DIR}/tile_fetcher/include")
add_header_check(startup LIBRARY startup FOLDERS "${PROJECT_SOURCE_DIR}/startup/include")
add_header_check(gui LIBRARY gui_app
  FOLDERS "${PROJECT_SOURCE_DIR}/gui/resources" "${PROJECT_SOURCE_DIR}/gui/src")
add_header_check(device_models LIBRARY device_models FOLDERS "${PROJECT_SOURCE_DIR}/platform/device_models/include")
