// The trace a load replays (docs/replay.md): the file QUOREL_SIM_REPLAY
// names, else the trace.txt of the snapshot QUOREL_SIM_SNAPSHOT names. Each
// card it recorded gets its recording, found by the location the trace's
// opens give; what cannot be replayed is said in the load's notes.
#ifndef QUOREL_SIM_REPLAY_LOADER_H
#define QUOREL_SIM_REPLAY_LOADER_H

#include <string>

#include "machine.h"
#include "machine_loader.h"

namespace quorel::sim {

// Reads the trace, if there is one, and hands each recorded card of the
// loaded machine its recording (Function::replay). A trace that cannot be
// read or is refused leaves every card as it was, with one note.
void AttachReplay(LoadedMachine* loaded);

// Why the machine has no card at `location` ("01:00.0"): it has no
// function there, or one that is not a card ("is not in " + name, "is not
// a card in " + name); "" when it has.
std::string MissingCard(Machine& machine, const std::string& location, const std::string& name);

}  // namespace quorel::sim

#endif  // QUOREL_SIM_REPLAY_LOADER_H
