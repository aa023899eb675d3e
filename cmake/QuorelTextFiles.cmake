# Text files that the build turns into something else: embedded in a
# program, or re-encoded for a Windows tool.

set(_quorel_embed_script ${CMAKE_CURRENT_LIST_DIR}/embed_text.cmake)
set(_quorel_utf16_script ${CMAKE_CURRENT_LIST_DIR}/utf16le_copy.sh)

# quorel_embed_text(<output .cpp> INPUT <file> HEADER <header> NAMESPACE <ns> SYMBOL <prefix>)
# generates a source defining <prefix>Name and <prefix>Text (declared in the
# header) from the file, again whenever the file changes.
function(quorel_embed_text output)
  cmake_parse_arguments(ARG "" "INPUT;HEADER;NAMESPACE;SYMBOL" "" ${ARGN})
  get_filename_component(name ${ARG_INPUT} NAME)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${ARG_INPUT} -DOUTPUT=${output} -DHEADER=${ARG_HEADER}
            -DNAMESPACE=${ARG_NAMESPACE} -DSYMBOL=${ARG_SYMBOL} -P ${_quorel_embed_script}
    DEPENDS ${ARG_INPUT} ${_quorel_embed_script}
    COMMENT "Embedding ${name}")
endfunction()

# quorel_utf16le_copies(<target> DESTINATION <dir> FILES <file>...) makes a
# target, built by default, that writes each UTF-8 file to <dir> as UTF-16LE
# with a byte-order mark and CRLF line ends, the form regedit exports.
function(quorel_utf16le_copies target)
  cmake_parse_arguments(ARG "" "DESTINATION" "FILES" ${ARGN})
  set(outputs)
  foreach(input ${ARG_FILES})
    get_filename_component(name ${input} NAME)
    set(output ${ARG_DESTINATION}/${name})
    add_custom_command(
      OUTPUT ${output}
      COMMAND sh ${_quorel_utf16_script} ${input} ${output}
      DEPENDS ${input} ${_quorel_utf16_script}
      COMMENT "Writing ${name} as UTF-16LE")
    list(APPEND outputs ${output})
  endforeach()
  add_custom_target(${target} ALL DEPENDS ${outputs})
endfunction()
