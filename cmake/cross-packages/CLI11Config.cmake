# CLI11 for the cross builds (Windows, WebAssembly): header-only, so the build machine's headers serve. They are
# linked into a folder of their own, since adding /usr/include would put glibc's headers first.
if(NOT TARGET CLI11::CLI11)
  set(_korvan_headers "${CMAKE_BINARY_DIR}/host-headers/cli11")
  file(MAKE_DIRECTORY "${_korvan_headers}")
  file(CREATE_LINK /usr/include/CLI "${_korvan_headers}/CLI" SYMBOLIC)
  add_library(CLI11::CLI11 INTERFACE IMPORTED)
  set_target_properties(CLI11::CLI11 PROPERTIES INTERFACE_INCLUDE_DIRECTORIES "${_korvan_headers}")
endif()
set(CLI11_FOUND TRUE)
