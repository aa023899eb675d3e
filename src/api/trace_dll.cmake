# The trace flavour: the same sources compiled again with QUOREL_TRACE_BUILD,
# which turns the hooks of trace/trace.h on, plus the trace writer and the
# traced exports, linked as bin/trace/Quorel_64.dll / Quorel_32D.dll with the
# same export names, decorations and ordinals (docs/trace.md). Applications
# link the release import library and run with either DLL beside them.
get_target_property(_library_sources quorel_objs SOURCES)
set(_trace_sources)
foreach(_source IN LISTS _library_sources)
  if(NOT IS_ABSOLUTE ${_source})
    set(_source ${PROJECT_SOURCE_DIR}/src/${_source})
  endif()
  list(APPEND _trace_sources ${_source})
endforeach()

add_library(quorel_trace_objs OBJECT ${_trace_sources}
  traced_exports.cpp
  ${PROJECT_SOURCE_DIR}/src/trace/open_facts.cpp
  ${PROJECT_SOURCE_DIR}/src/trace/writer.cpp)
target_include_directories(quorel_trace_objs PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/include)
target_link_libraries(quorel_trace_objs PRIVATE quorel_settings)
target_compile_definitions(quorel_trace_objs PRIVATE
  QUOREL_TRACE_BUILD QUOREL_FILE_VERSION_TEXT="${QUOREL_FILE_VERSION}")
get_target_property(_library_options quorel_objs COMPILE_OPTIONS)
if(_library_options)
  target_compile_options(quorel_trace_objs PRIVATE ${_library_options})
endif()

set(_trace_def_file ${CMAKE_CURRENT_BINARY_DIR}/quorel${QUOREL_BITS}-trace.def)
file(GENERATE OUTPUT ${_trace_def_file} CONTENT "${_trace_def}")
add_library(quorel_trace_dll SHARED dll_main.cpp $<TARGET_OBJECTS:quorel_trace_objs> ${_trace_def_file})
set_target_properties(quorel_trace_dll PROPERTIES OUTPUT_NAME ${_dll_name} PREFIX ""
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/trace
  ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_ARCHIVE_OUTPUT_DIRECTORY}/trace)
target_link_libraries(quorel_trace_dll PRIVATE ulvexa_import advapi32 user32)
quorel_version_resource(quorel_trace_dll FILENAME ${_dll_name}.dll
  DESCRIPTION "Quorel register access to the QUOREL PCI card (${QUOREL_BITS}-bit), trace build")
