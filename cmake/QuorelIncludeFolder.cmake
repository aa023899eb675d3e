# quorel_include_folder(TARGET NAME PATH=SOURCE...): an INTERFACE target
# whose include path is a folder of the build tree holding only the named
# headers (or header folders), each a symbolic link at PATH to SOURCE.
# Whoever links TARGET can include those and nothing else beside them: the
# library's facade and contracts are reached so without the rest of src/,
# and the header-only libraries the tool uses without /usr/include.
function(quorel_include_folder target)
  set(_folder ${CMAKE_BINARY_DIR}/include/${target})
  foreach(_entry IN LISTS ARGN)
    string(REGEX REPLACE "=.*" "" _path "${_entry}")
    string(REGEX REPLACE "^[^=]*=" "" _source "${_entry}")
    if(NOT EXISTS "${_source}")
      message(FATAL_ERROR "${target}: ${_source} is missing (scripts/bootstrap.sh installs what the build needs)")
    endif()
    get_filename_component(_parent ${_folder}/${_path} DIRECTORY)
    file(MAKE_DIRECTORY ${_parent})
    file(CREATE_LINK ${_source} ${_folder}/${_path} SYMBOLIC)
  endforeach()
  add_library(${target} INTERFACE)
  target_include_directories(${target} INTERFACE ${_folder})
endfunction()
