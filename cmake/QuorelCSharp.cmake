# quorel_csharp_program(TARGET EXE SOURCE [CONFIG]): EXE built with mcs
# (QUOREL_MCS) from the C# wrapper's sources (QUOREL_CSHARP_WRAPPER) and
# SOURCE, as an application builds it, under a target of its own; CONFIG
# puts the examples' .config beside it (mono's map of the DLL's name to
# libquorel.so).
function(quorel_csharp_program target exe source)
  cmake_parse_arguments(ARG "CONFIG" "" "" ${ARGN})
  set(_config_file ${PROJECT_SOURCE_DIR}/examples/csharp/QuorelExample.exe.config)
  set(_copy_config)
  if(ARG_CONFIG)
    set(_copy_config COMMAND ${CMAKE_COMMAND} -E copy ${_config_file} ${exe}.config)
  endif()
  get_filename_component(_name ${exe} NAME)
  add_custom_command(OUTPUT ${exe}
    COMMAND ${QUOREL_MCS} -nologo -warnaserror -out:${exe} ${QUOREL_CSHARP_WRAPPER} ${source}
    ${_copy_config}
    DEPENDS ${QUOREL_CSHARP_WRAPPER} ${source} ${_config_file}
    COMMENT "Building ${_name} with mcs")
  add_custom_target(${target} ALL DEPENDS ${exe})
  add_dependencies(${target} quorel_shared)
endfunction()
