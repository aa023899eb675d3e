// What a diagnostic tool may see of the library beyond its sixteen exports:
// the discovery an open runs, the device list and bus tree it builds, where
// each card sits in the search order, and the multi-card table. Read-only:
// records come back const and nothing here changes what the exports do
// next. Never exported from the DLLs; the quorel tool links the library's
// code directly.
#ifndef QUOREL_API_INSPECT_H
#define QUOREL_API_INSPECT_H

#include <cstdint>
#include <string>
#include <vector>

#include "api/card_regs.h"
#include "pci/device_list.h"
#include "pci/os_family.h"
#include "pci/peer_buses.h"

namespace quorel::inspect {

// Board IDs run from 0 to kBoardCount - 1.
constexpr int kBoardCount = card::kBoardCount;
// The register index every register export refuses. Quorel_in2 given it
// still selects the board for Quorel_sts and the control commands.
constexpr int kStatusRegister = card::kCsrIndex;

// Runs discovery as every open does (the Windows version class each time,
// the bus scan only the first time in the process). Returns the device list.
const DeviceRecord* Discover();
// Runs the registry annotation every open runs after discovery, filling
// the records' registry fields.
void Annotate();
// The device list in scan order, linked by `next`; null before discovery or
// when the scan found nothing.
const DeviceRecord* Devices();
// Bus 0, the root of the bus tree.
const BusNode* RootBus();
// The functions on peer root buses that the device list lacks because
// QUOREL_SCAN_PEER_BUSES=1 was not set at discovery, in the order that
// setting would append them; empty when it was set. Runs discovery first,
// then probes with reads of its own (driver access opened and released
// around them; none when the driver did not initialise at the last try);
// the device list and the bus tree do not change.
std::vector<PeerFunction> UnreachedFunctions();
// The functions that answer where neither the scan nor the peer-bus probe
// looks (pci/peer_buses.h), found by reads of its own as
// UnreachedFunctions does; for explaining an empty scan.
std::vector<UnscannedFunction> FunctionsNoScanReaches();

// The byte InitializeUlvexa returned at the library's last call of it
// (discovery's, after Discover), 1 being success; before any such call it
// calls InitializeUlvexa itself (and releases the driver again after a
// success). A tool asks for it to tell a driver that does not initialise
// from a bus where nothing answers. The device list does not change.
int DriverInitResult();

// Why a card's window is not even offered to MapPhysToLin, read from its
// BAR0 as configuration space holds it.
enum class BarProblem {
    kNone,        // memory at a 32-bit base: the driver is asked to map it
    kUnassigned,  // no base address (the firmware gave it none)
    kIoSpace,     // an I/O-port BAR, not memory
    kAbove4GiB,   // a 64-bit BAR whose base lies above 4 GiB
};
BarProblem CheckBar0(const DeviceRecord* card);

// A base address register as the configuration copy holds it, flag bits
// cleared. A 64-bit memory BAR takes its register and the next one.
struct DecodedBar {
    unsigned index;    // register 0..5
    bool io;           // I/O space, else memory
    bool wide;         // a 64-bit memory BAR
    uint64_t address;  // the full base, above 4 GiB included
};
// The BARs of the record's header layout that hold a base address, in
// register order; unassigned and all-ones registers are left out.
std::vector<DecodedBar> DecodeBars(const DeviceRecord* record);

// The card at search position `position` (from 0), as Quorel_open counts:
// every type-1 card in list order, then every type-2 card. *type receives
// its variant (1 or 2). Null when there is none.
const DeviceRecord* CardAt(int32_t position, int32_t* type);
// Length of a variant's register window.
uint64_t WindowLength(int32_t type);
// The card filed under `board` by the last multi-card open; null when that
// entry is empty or `board` is not a board ID.
const DeviceRecord* BoardCard(int board);

// The Windows version class (pci/os_family.h) of the last discovery.
int32_t WindowsFamily();
// The NT lookup's hardware-ID key paths for a record, below
// HKEY_LOCAL_MACHINE, in the order it tries them.
std::vector<std::wstring> HardwareIdKeys(const DeviceRecord& record);

// One function's configuration bytes 0x00..0xFF as read afresh, dword by
// dword; a dword whose read failed holds all ones.
struct FunctionConfig {
    uint8_t bus;
    uint8_t devfn;
    uint8_t bytes[256];
    uint64_t failed;  // bit n: the read at offset 4n failed
};
// What a replay needs to make the scans read what they read here.
struct ConfigCapture {
    bool driver_opened = false;  // InitializeUlvexa succeeded
    std::vector<FunctionConfig> functions;  // bus, then devfn ascending
};
// Runs discovery first, then opens driver access and reads every function
// that answers (or whose read fails) on each bus of the bus tree and on
// each other bus whose function 0 of some device answers, as the peer-bus
// probe would scan it; releases driver access after. Reads only.
ConfigCapture CaptureConfigSpace();

}  // namespace quorel::inspect

#endif  // QUOREL_API_INSPECT_H
