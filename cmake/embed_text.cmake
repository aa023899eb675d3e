# Build step: turns a text file into a C++ source that defines it as two
# strings, <SYMBOL>Name (how messages name it) and <SYMBOL>Text.
#   cmake -DINPUT=<file> -DOUTPUT=<.cpp> -DHEADER=<declaring header>
#         -DNAMESPACE=<namespace> -DSYMBOL=<name prefix> -P embed_text.cmake
# The text goes into a raw string literal, so it needs no escaping; only the
# literal's closing sequence must not occur in it.
set(delimiter "embedded")
file(READ "${INPUT}" text)
string(FIND "${text}" ")${delimiter}\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${INPUT} contains )${delimiter}\" and cannot be embedded")
endif()
get_filename_component(name "${INPUT}" NAME)
file(WRITE "${OUTPUT}.tmp"
"// Generated from ${name} at build time: edit that file instead.
#include \"${HEADER}\"

namespace ${NAMESPACE} {

const char ${SYMBOL}Name[] = \"<embedded ${name}>\";
const char ${SYMBOL}Text[] = R\"${delimiter}(${text})${delimiter}\";

}  // namespace ${NAMESPACE}
")
# Rewrite the source only when it changes, so nothing recompiles needlessly.
configure_file("${OUTPUT}.tmp" "${OUTPUT}" COPYONLY)
file(REMOVE "${OUTPUT}.tmp")
