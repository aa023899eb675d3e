# The import library for the driver-access library, generated from the .def
# beside its declarations, so our DLLs bind to "Ulvexa32.dll"/"Ulvexa64.dll"
# by name whichever implementation sits next to them at run time.
# Native builds link the stand-in simulator directly instead.
if(NOT WIN32)
  return()
endif()

set(_def_in ${CMAKE_SOURCE_DIR}/src/driver/ulvexa.def)
set(_dll Ulvexa${QUOREL_BITS}.dll)
set(_def_out ${CMAKE_BINARY_DIR}/driver/ulvexa${QUOREL_BITS}.def)
set(_implib ${CMAKE_BINARY_DIR}/driver/libUlvexa${QUOREL_BITS}.a)

file(READ ${_def_in} _def)
string(REPLACE "LIBRARY Ulvexa" "LIBRARY ${_dll}" _def "${_def}")
if(QUOREL_BITS EQUAL 64)
  # x64 has one calling convention: no "@N" decoration on the symbols.
  string(REGEX REPLACE "@[0-9]+" "" _def "${_def}")
  set(_kill_at "")
else()
  # Link against the decorated stdcall symbols, import the plain names.
  set(_kill_at --kill-at)
endif()
file(WRITE ${_def_out} "${_def}")
set(QUOREL_DRIVER_DEF ${_def_out} CACHE INTERNAL "driver .def for this architecture")

# _ulvexa_import_library(NAME OPTION FILE WHAT): a dlltool library FILE
# (OPTION: --output-lib or --output-delaylib) and the interface target NAME
# that links it.
function(_ulvexa_import_library name option file what)
  add_custom_command(
    OUTPUT ${file}
    COMMAND ${QUOREL_DLLTOOL} --input-def ${_def_out} --dllname ${_dll}
            ${option} ${file} ${_kill_at}
    DEPENDS ${_def_in}
    COMMENT "Generating ${what} for ${_dll}")
  add_custom_target(${name}_lib DEPENDS ${file})
  add_library(${name} INTERFACE)
  add_dependencies(${name} ${name}_lib)
  target_link_libraries(${name} INTERFACE ${file})
endfunction()

_ulvexa_import_library(ulvexa_import --output-lib ${_implib} "import library")

# The same functions bound at their first call (a delay-load import library,
# resolved by mingw's __delayLoadHelper2), for the quorel tool alone: it must
# start and explain itself when the DLL is missing or of the other bitness.
# The DLLs we ship keep the load-time import above.
_ulvexa_import_library(ulvexa_delay_import --output-delaylib
  ${CMAKE_BINARY_DIR}/driver/libUlvexa${QUOREL_BITS}-delay.a "delay-load import library")
