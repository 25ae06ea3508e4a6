# lorvane_json: nlohmann-json (header-only), for the JSON the checker writes
# and the data a page carries. The cross build searches only the MinGW
# root, and the host's /usr/include would bring the host's C library with
# it: it gets a directory in the build tree that holds a link to the
# library's headers alone.
add_library(lorvane_json INTERFACE)
if(CMAKE_CROSSCOMPILING)
  find_path(LORVANE_JSON_HOST_INCLUDE nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH)
  if(NOT LORVANE_JSON_HOST_INCLUDE)
    message(FATAL_ERROR "nlohmann/json.hpp not found (Debian: nlohmann-json3-dev)")
  endif()
  set(json_include ${CMAKE_BINARY_DIR}/json-include)
  file(MAKE_DIRECTORY ${json_include})
  file(CREATE_LINK ${LORVANE_JSON_HOST_INCLUDE}/nlohmann ${json_include}/nlohmann SYMBOLIC)
  target_include_directories(lorvane_json SYSTEM INTERFACE ${json_include})
else()
  find_package(nlohmann_json 3.2 REQUIRED)
  target_link_libraries(lorvane_json INTERFACE nlohmann_json::nlohmann_json)
endif()
