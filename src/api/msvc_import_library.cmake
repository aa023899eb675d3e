# What MSVC (and clang-cl) applications link: <dll>.lib, made by LLVM's
# linker from <dll>.def, both left in lib/ beside the MinGW import library.
#
# The 32-bit .def is in the form MSVC's own tools read (lib /def): each
# export by its decorated name, _Quorel_open@4. That makes an import library
# that binds a __stdcall call to exactly that export name, which the DLL has
# for every function (Quorel_LibVersion has no other). llvm-dlltool reads
# .def files the MinGW way and would import Quorel_open@4 or, with -k,
# Quorel_open instead, so the 32-bit .lib cannot come from it.
set(_ship_def "LIBRARY ${_dll_name}.dll\nEXPORTS\n")
foreach(_export IN LISTS QUOREL_EXPORTS)
  if(QUOREL_BITS EQUAL 64)
    string(REGEX REPLACE "@.*" "" _export ${_export})
  else()
    set(_export _${_export})
  endif()
  string(APPEND _ship_def "    ${_export}\n")
endforeach()
set(_ship_def_file ${CMAKE_ARCHIVE_OUTPUT_DIRECTORY}/${_dll_name}.def)
file(GENERATE OUTPUT ${_ship_def_file} CONTENT "${_ship_def}")

find_program(QUOREL_LLD_LINK NAMES lld-link lld-link-14)
if(NOT QUOREL_LLD_LINK)
  message(WARNING "lld-link not found (Debian: lld-14): no ${_dll_name}.lib for MSVC")
  return()
endif()
set(_machine x64)
if(QUOREL_BITS EQUAL 32)
  set(_machine x86)
endif()
set(_msvc_lib ${CMAKE_ARCHIVE_OUTPUT_DIRECTORY}/${_dll_name}.lib)
# Given only a .def, lld-link writes the import library and nothing else.
add_custom_command(OUTPUT ${_msvc_lib}
  COMMAND ${QUOREL_LLD_LINK} /nologo /machine:${_machine} /def:${_ship_def_file} /out:${_msvc_lib}
  DEPENDS ${_ship_def_file}
  COMMENT "MSVC import library for ${_dll_name}.dll")
add_custom_target(quorel_msvc_implib ALL DEPENDS ${_msvc_lib})
