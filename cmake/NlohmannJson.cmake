# nlohmann-json, the header-only JSON library behind the viewer's --summary --json: Debian's
# nlohmann-json3-dev (scripts/setup, scripts/setup-windows) on every build.
#
# The MinGW toolchain (cmake/toolchains/x86_64-w64-mingw32.cmake) searches packages only under
# the target's root, so a cross build does not find the build machine's package config; and
# that config would put all of /usr/include, the build machine's C library headers among them,
# on the Windows compiler's path. There the headers are reached through a folder of their own
# in the build tree that holds nothing but a link to /usr/include/nlohmann.
find_package(nlohmann_json 3.10 QUIET)
if(NOT nlohmann_json_FOUND)
  find_path(AMPELON_NLOHMANN_JSON_INCLUDE nlohmann/json.hpp
            PATHS /usr/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  if(NOT AMPELON_NLOHMANN_JSON_INCLUDE)
    message(FATAL_ERROR "nlohmann/json.hpp is missing: install nlohmann-json3-dev (scripts/setup)")
  endif()
  set(include_folder "${CMAKE_BINARY_DIR}/nlohmann-json-include")
  file(MAKE_DIRECTORY "${include_folder}")
  file(CREATE_LINK "${AMPELON_NLOHMANN_JSON_INCLUDE}/nlohmann" "${include_folder}/nlohmann"
       SYMBOLIC)
  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED GLOBAL)
  target_include_directories(nlohmann_json::nlohmann_json SYSTEM INTERFACE "${include_folder}")
endif()
