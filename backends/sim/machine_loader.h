// Chooses the machine to simulate, from the environment read afresh: the
// file QUOREL_SIM_MACHINE names, else a snapshot's machine.txt
// (QUOREL_SIM_SNAPSHOT), else the embedded default.
#ifndef QUOREL_SIM_MACHINE_LOADER_H
#define QUOREL_SIM_MACHINE_LOADER_H

#include <memory>
#include <string>

#include "machine.h"

namespace quorel::sim {

struct LoadedMachine {
    std::unique_ptr<Machine> machine;  // null: refused
    std::string source;   // "the default machine", "the machine file X", "the snapshot X"
    std::string problem;  // why it was refused, naming the file (and line)
    // For stderr: the refusal, or a warning about what loaded (functions of
    // other PCI domains left out); empty when nothing is left to say.
    std::string note;
};

class MachineLoader {
public:
    LoadedMachine Load();

private:
    LoadedMachine LoadFile(const std::string& path, const std::string& source);
    bool ReadFile(const std::string& path, std::string* text, std::string* why);

    // A file that can be read only once (a pipe: QUOREL_SIM_MACHINE=/dev/stdin
    // or <(...)) keeps its text for the later loads; other files are read
    // again at every load.
    std::string kept_path_;
    std::string kept_text_;
};

}  // namespace quorel::sim

#endif  // QUOREL_SIM_MACHINE_LOADER_H
