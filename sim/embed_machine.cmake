# Build step: turns a machine file into a C++ source holding its text.
#   cmake -DINPUT=<machine file> -DOUTPUT=<.cpp> -P embed_machine.cmake
# The text goes into a raw string literal, so it needs no escaping; only the
# literal's closing sequence must not occur in it.
set(delimiter "lspci")
file(READ "${INPUT}" text)
string(FIND "${text}" ")${delimiter}\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${INPUT} contains )${delimiter}\" and cannot be embedded")
endif()
get_filename_component(name "${INPUT}" NAME)
file(WRITE "${OUTPUT}.tmp"
"// Generated from ${name} at build time: edit that file instead.
#include \"default_machine.h\"

namespace quorel::sim {

const char kDefaultMachineName[] = \"<embedded ${name}>\";
const char kDefaultMachineText[] = R\"${delimiter}(${text})${delimiter}\";

}  // namespace quorel::sim
")
# Rewrite the source only when it changes, so nothing recompiles needlessly.
configure_file("${OUTPUT}.tmp" "${OUTPUT}" COPYONLY)
file(REMOVE "${OUTPUT}.tmp")
