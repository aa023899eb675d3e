// The three files `quorel snapshot DIR` writes (snapshot_command.cpp; their
// names are in settings/settings.h): each function's configuration bytes as
// a machine file (machine_file.cpp), the registry entries the annotation
// reads (registry_file.cpp), and what the process ran on (about_file.cpp).
// Each returns the file's
// text (registry.reg: its bytes, UTF-16LE with a byte-order mark, as
// regedit exports it).
#ifndef QUOREL_TOOLS_SNAPSHOT_FILES_H
#define QUOREL_TOOLS_SNAPSHOT_FILES_H

#include <string>

#include "api/inspect.h"

namespace snapshot {

// `registers`: also each card's register window, read through the exports.
std::string MachineText(const quorel::inspect::ConfigCapture& capture, bool registers);
std::string RegistryBytes();
std::string AboutText(const quorel::inspect::ConfigCapture& capture);

}  // namespace snapshot

#endif  // QUOREL_TOOLS_SNAPSHOT_FILES_H
