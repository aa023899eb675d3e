// Peer root buses: buses no PCI-to-PCI bridge reachable from bus 0 leads
// to. Multi-socket and multi-die machines have a root bus per root complex
// (0x00, 0x40, 0x80, ...), and some older chipsets' host bridges pose as
// PCI-to-PCI bridges that the scan never follows. The scan from bus 0
// misses whatever sits there; probing for them is opt-in, because the
// functions found are appended to the device list and so can change which
// card a search position opens.
#ifndef QUOREL_PCI_PEER_BUSES_H
#define QUOREL_PCI_PEER_BUSES_H

#include <cstdint>
#include <vector>

#include "pci/device_list.h"

namespace quorel {

// Whether the setting settings::kScanPeerBuses asks discovery, now, to scan
// the peer root buses after bus 0's hierarchy.
bool PeerBusesRequested();

// True when function 0 of some device on the bus answers: the ID dword
// reads and shows a function. Driver access must be open.
bool BusAnswers(uint8_t bus);

// For each bus 1..255 in ascending order that this discovery has not
// scanned yet: if the ID dword of function 0 of some device 0..31 shows a
// function, scans the bus as a root of its own (number, primary and
// secondary the bus, linked under `root` with no bridge), its bridges
// followed. Buses reached that way count as scanned for the later numbers.
// Driver access must be open.
void ScanPeerBuses(BusNode* root);

// A function only the peer probe reaches.
struct PeerFunction {
    uint8_t bus;
    uint8_t devfn;
    uint16_t vendor_id;
    uint16_t device_id;
};

// What ScanPeerBuses would append to the device list after this process's
// discovery, in that order; empty before discovery, when discovery ran
// the probe itself, and when the driver did not initialise at its last
// try. Runs the probe aside, opening and releasing driver
// access around it: the device list, the bus tree and the buses counted as
// scanned stay as they were.
std::vector<PeerFunction> PeerBusFunctions();

// A function that answers where neither the scan nor the peer-bus probe
// looks.
struct UnscannedFunction {
    PeerFunction at;
    enum Why {
        kLastDevfn,    // device 1f function 7, devfn 255, which no scan probes
        kNoFunction0,  // function 1..7 on a bus no scan reaches, of a device without
                       // function 0, by which the peer-bus probe finds a bus
    } why;
};

// Every such function, by bus and devfn, after this process's discovery;
// empty before discovery and when the driver did not initialise at its
// last try. Runs aside as PeerBusFunctions does, reading up to every
// function slot of the buses no scan reaches.
std::vector<UnscannedFunction> UnscannedFunctions();

}  // namespace quorel

#endif  // QUOREL_PCI_PEER_BUSES_H
