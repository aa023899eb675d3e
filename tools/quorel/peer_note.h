// The note `quorel list` and `quorel cards` end with when PCI functions sit
// on peer root buses that the library's scan does not reach by default.
#ifndef QUOREL_TOOLS_PEER_NOTE_H
#define QUOREL_TOOLS_PEER_NOTE_H

namespace commands {

// Prints, on stderr, the functions a peer-bus probe would add; nothing when
// there are none (or the probe already ran). The device list is unchanged.
void PrintUnreachedNote();

}  // namespace commands

#endif  // QUOREL_TOOLS_PEER_NOTE_H
