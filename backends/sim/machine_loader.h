// Chooses the machine to simulate, from the environment read afresh: the
// file QUOREL_SIM_MACHINE names, else a snapshot's machine.txt
// (QUOREL_SIM_SNAPSHOT), else the embedded default; and the card model each
// card follows: the machine file's `model` directive, else QUOREL_SIM_MODEL;
// and the trace its cards replay (replay_loader.h).
#ifndef QUOREL_SIM_MACHINE_LOADER_H
#define QUOREL_SIM_MACHINE_LOADER_H

#include <memory>
#include <string>
#include <vector>

#include "machine.h"

namespace quorel::sim {

struct LoadedMachine {
    std::unique_ptr<Machine> machine;  // null: refused
    std::string source;   // "the default machine", "the machine file X", "the snapshot X"
    std::string problem;  // why it was refused, naming the file (and line)
    // For stderr, one line each: the refusal, or warnings about what
    // loaded (functions of other PCI domains left out, a card model
    // refused); empty when nothing is left to say.
    std::vector<std::string> notes;
};

class MachineLoader {
public:
    LoadedMachine Load();

private:
    LoadedMachine LoadFile(const std::string& path, const std::string& source);
    bool ReadFile(const std::string& path, std::string* text, std::string* why);
    // Resolves and loads each function's model; a model that cannot be
    // loaded leaves its cards plain memory and adds a note.
    void LoadModels(const std::string& machine_file, LoadedMachine* loaded);

    // A file that can be read only once (a pipe: QUOREL_SIM_MACHINE=/dev/stdin
    // or <(...)) keeps its text for the later loads; other files are read
    // again at every load.
    std::string kept_path_;
    std::string kept_text_;
};

}  // namespace quorel::sim

#endif  // QUOREL_SIM_MACHINE_LOADER_H
