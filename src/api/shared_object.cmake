# libquorel.so: the library for Linux programs, from the same objects as the
# DLLs, over the native driver-access library (QUOREL_DRIVER_TARGET) and the
# native Windows functions (native_winapi/). A version script exports the sixteen functions and hides
# every other symbol, the driver's and the platform layer's included, so an
# application links against exactly what it would on Windows.
set(_script "{\n  global:\n")
foreach(_export IN LISTS QUOREL_EXPORTS)
  string(REGEX REPLACE "@.*" "" _plain ${_export})
  string(APPEND _script "    ${_plain};\n")
endforeach()
string(APPEND _script "  local: *;\n};\n")
set(_script_file ${CMAKE_CURRENT_BINARY_DIR}/libquorel.map)
file(GENERATE OUTPUT ${_script_file} CONTENT "${_script}")

add_library(quorel_shared SHARED $<TARGET_OBJECTS:quorel_objs>)
target_include_directories(quorel_shared INTERFACE ${PROJECT_SOURCE_DIR}/include)
target_link_libraries(quorel_shared PRIVATE ${QUOREL_DRIVER_TARGET} native_winapi)
target_link_options(quorel_shared PRIVATE -Wl,--version-script=${_script_file})
if(NOT QUOREL_SANITIZE)
  # Complete in itself (the sanitizers' runtime comes with the program).
  target_link_options(quorel_shared PRIVATE -Wl,--no-undefined)
endif()
set_target_properties(quorel_shared PROPERTIES
  OUTPUT_NAME quorel
  VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0
  SOVERSION ${PROJECT_VERSION_MAJOR}
  LINK_DEPENDS ${_script_file})
