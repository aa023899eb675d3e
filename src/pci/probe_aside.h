// Probes a tool runs after discovery, aside: with driver access opened and
// released around them, leaving the device list, the bus tree and the buses
// counted as scanned as they were. Linked into the core that tools and
// tests use, not into the DLLs or libquorel.so.
#ifndef QUOREL_PCI_PROBE_ASIDE_H
#define QUOREL_PCI_PROBE_ASIDE_H

#include <functional>
#include <vector>

#include "pci/peer_buses.h"
#include "pci/pci_regs.h"

namespace quorel {

// Runs `probe` with driver access open (opened for it, and released after,
// unless it already was). False, without running it, before discovery or
// when the driver did not initialise at its last try: asked again it would
// only complain once more, and nothing could be read.
bool WithDriverAside(const std::function<void()>& probe);

// The peer-bus probe, unless discovery ran it: what it would append to the
// device list, and in `covered` every bus counted as scanned after it.
// Driver access must be open.
std::vector<PeerFunction> PeerProbeAside(bool (&covered)[pci::kBusCount]);

}  // namespace quorel

#endif  // QUOREL_PCI_PROBE_ASIDE_H
