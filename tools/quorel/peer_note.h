// The note `quorel list` and `quorel cards` end with when PCI functions sit
// on peer root buses that the library's scan does not reach by default.
#ifndef QUOREL_TOOLS_PEER_NOTE_H
#define QUOREL_TOOLS_PEER_NOTE_H

#include <string>
#include <vector>

#include "api/inspect.h"

namespace commands {

// "12:03.0 8086:1229": where a function sits and its IDs.
std::string FunctionText(const quorel::inspect::PeerFunction& function);
// "1 function on bus 03 is not reached from bus 0 (...): 03:00.0 6a5d:0101".
std::string UnreachedText(const std::vector<quorel::inspect::PeerFunction>& functions);

// Prints, on stderr, the functions a peer-bus probe would add; nothing when
// there are none (or the probe already ran). The device list is unchanged.
void PrintUnreachedNote();

}  // namespace commands

#endif  // QUOREL_TOOLS_PEER_NOTE_H
