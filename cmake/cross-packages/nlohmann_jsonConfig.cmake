# nlohmann-json for the cross builds (Windows, WebAssembly), header-only like CLI11 (see CLI11Config.cmake).
if(NOT TARGET nlohmann_json::nlohmann_json)
  set(_korvan_headers "${CMAKE_BINARY_DIR}/host-headers/nlohmann-json")
  file(MAKE_DIRECTORY "${_korvan_headers}")
  file(CREATE_LINK /usr/include/nlohmann "${_korvan_headers}/nlohmann" SYMBOLIC)
  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
  set_target_properties(nlohmann_json::nlohmann_json PROPERTIES INTERFACE_INCLUDE_DIRECTORIES "${_korvan_headers}")
endif()
set(nlohmann_json_FOUND TRUE)
