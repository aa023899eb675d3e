# Version resources for what we ship on Windows, compiled with windres.

set(_quorel_version_rc_in ${CMAKE_CURRENT_LIST_DIR}/version.rc.in)
# The file version has four parts; the library's banner shows the first two.
set(QUOREL_FILE_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0.0)

# quorel_version_resource(<target> FILENAME <file name> DESCRIPTION <text>)
# gives a DLL or program target a VERSIONINFO: file and product version
# QUOREL_FILE_VERSION, product name Quorel, the description and the file's
# original name. Does nothing outside Windows builds.
function(quorel_version_resource target)
  if(NOT WIN32)
    return()
  endif()
  cmake_parse_arguments(ARG "" "FILENAME;DESCRIPTION" "" ${ARGN})
  get_target_property(type ${target} TYPE)
  set(QUOREL_RC_FILETYPE VFT_APP)
  if(type STREQUAL "SHARED_LIBRARY")
    set(QUOREL_RC_FILETYPE VFT_DLL)
  endif()
  set(QUOREL_RC_VERSION ${QUOREL_FILE_VERSION})
  string(REPLACE "." "," QUOREL_RC_VERSION_COMMAS ${QUOREL_FILE_VERSION})
  set(QUOREL_RC_DESCRIPTION ${ARG_DESCRIPTION})
  set(QUOREL_RC_FILENAME ${ARG_FILENAME})
  get_filename_component(QUOREL_RC_INTERNAL_NAME ${ARG_FILENAME} NAME_WE)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${_quorel_version_rc_in} ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
