// Chooses the machine to simulate: the file QUOREL_SIM_MACHINE names, or the
// embedded default.
#ifndef QUOREL_SIM_MACHINE_LOADER_H
#define QUOREL_SIM_MACHINE_LOADER_H

#include <memory>
#include <string>

#include "machine.h"

namespace quorel::sim {

// path empty: the default machine. Null, with a message naming the file
// (and line) in *error, when the file cannot be read or is malformed. A file
// with functions of other PCI domains loads without them, with a warning
// on stderr.
std::unique_ptr<Machine> LoadMachine(const std::string& path, std::string* error);

}  // namespace quorel::sim

#endif  // QUOREL_SIM_MACHINE_LOADER_H
