# fast_float for the cross builds (Windows, WebAssembly), header-only like CLI11 (see CLI11Config.cmake).
if(NOT TARGET FastFloat::fast_float)
  set(_korvan_headers "${CMAKE_BINARY_DIR}/host-headers/fast-float")
  file(MAKE_DIRECTORY "${_korvan_headers}")
  file(CREATE_LINK /usr/include/fast_float "${_korvan_headers}/fast_float" SYMBOLIC)
  add_library(FastFloat::fast_float INTERFACE IMPORTED)
  set_target_properties(FastFloat::fast_float PROPERTIES INTERFACE_INCLUDE_DIRECTORIES "${_korvan_headers}")
endif()
set(FastFloat_FOUND TRUE)
