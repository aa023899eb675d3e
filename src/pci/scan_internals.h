// What the bus scan shares with the probe of peer root buses
// (pci/peer_buses.cpp). Nothing outside src/pci uses it.
#ifndef QUOREL_PCI_SCAN_INTERNALS_H
#define QUOREL_PCI_SCAN_INTERNALS_H

#include "pci/device_list.h"
#include "pci/pci_regs.h"

namespace quorel {

// Bus numbers already scanned in this discovery. Firmware can leave a
// bridge pointing back at a bus on its own path, or two bridges at the same
// bus: scanning such a bus again would recurse without end or list its
// functions twice, shifting every later card's position. Cleared when
// discovery starts; ScanBus marks the bus it scans.
extern bool bus_seen[pci::kBusCount];

// A new zero-filled node, linked as node's first child and led to by
// `bridge` (null for a root bus of its own); null when out of memory.
BusNode* AddChild(BusNode* node, DeviceRecord* bridge);

}  // namespace quorel

#endif  // QUOREL_PCI_SCAN_INTERNALS_H
