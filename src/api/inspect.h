// What a diagnostic tool may see of the library beyond its sixteen exports:
// the discovery an open runs, the functions and the bus tree it finds,
// where each card sits in the search order, the multi-card table, and what
// the registry annotation reads. Everything comes back as a view: plain
// values copied from the library's records, so nothing handed out can
// change what the exports do next. Never exported from the DLLs; the quorel
// tool and the benchmarks link the library's code directly and see it
// through this header (and include/quorel.h) alone: it includes nothing of
// the library.
#ifndef QUOREL_API_INSPECT_H
#define QUOREL_API_INSPECT_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorel::inspect {

// Where a function sits: its bus and Devfn(device, function).
struct Location {
    uint8_t bus = 0;
    uint8_t devfn = 0;
};

// Board IDs run from 0 to kBoardCount - 1.
constexpr int kBoardCount = 4;
// The register index every register export refuses. Quorel_in2 given it
// still selects the board for Quorel_sts and the control commands.
constexpr int kStatusRegister = 255;
// The register that carries a card's board ID.
constexpr int kBoardIdRegister = 6;
// The board ID the board-ID register's byte stands for.
int BoardIdFromRegister(uint8_t value);

// A base address register as the configuration copy holds it, flag bits
// cleared. A 64-bit memory BAR takes its register and the next one.
struct DecodedBar {
    unsigned index;    // register 0..5
    bool io;           // I/O space, else memory
    bool wide;         // a 64-bit memory BAR
    uint64_t address;  // the full base, above 4 GiB included
};

// Why a card's window is not even offered to MapPhysToLin, read from its
// BAR0 as configuration space holds it.
enum class BarProblem {
    kNone,        // memory at a 32-bit base: the driver is asked to map it
    kUnassigned,  // no base address (the firmware gave it none)
    kIoSpace,     // an I/O-port BAR, not memory
    kAbove4GiB,   // a 64-bit BAR whose base lies above 4 GiB
};

// A setup-class GUID as the annotation parsed it.
struct Guid {
    uint32_t data1;
    uint16_t data2;
    uint16_t data3;
    uint8_t data4[8];
};

// What the registry annotation stored for a function: 8-bit text in the C
// runtime's locale, empty where it found nothing.
struct RegistryTexts {
    int32_t matched = 0;  // 1 when the annotation found the function's entry
    std::string device_desc;
    std::string hardware_key;
    std::string config_manager_key;  // 9x family only
    std::string class_guid_text;
    Guid class_guid{};
};

// A PCI function as the bus scan recorded it.
struct Function : Location {
    uint16_t vendor_id = 0;
    uint16_t device_id = 0;
    uint16_t subsystem_vendor_id = 0;
    uint16_t subsystem_id = 0;
    uint32_t class_code = 0;  // base class, subclass, programming interface
    uint32_t hdr_type = 0;    // header-type byte as read, bit 7 included
    uint32_t bus_master = 0;  // 1 when the command register's bit 2 is set
    uint32_t irq = 0;         // interrupt line when the pin is used, else 0
    uint32_t bar[6] = {};     // the raw registers as the library records them
    uint32_t rom_bar = 0;     // raw expansion-ROM register, 0 if all ones
    // The BARs of the header layout that hold a base address, in register
    // order; unassigned and all-ones registers are left out.
    std::vector<DecodedBar> bars;
    // For a card the library opens, why its BAR0 is not offered for
    // mapping; kNone for one that is and for any other function.
    BarProblem card_bar_problem = BarProblem::kNone;
    RegistryTexts registry;
};

// A bus of the tree the scan built.
struct Bus {
    uint8_t number = 0;  // the bus number the reads on this bus use
    uint8_t primary = 0;
    uint8_t secondary = 0;
    uint8_t subordinate = 0;
    std::optional<Location> bridge;  // on the parent bus, leading here
    std::vector<Function> functions;
    std::vector<Bus> children;  // in the order the scan reached them
};

// A card as Quorel_open finds it.
struct Card {
    int32_t position = 0;  // search position, from 0
    int32_t type = 0;      // variant, 1 or 2
    uint64_t window_length = 0;
    Function function;
};

// A function only the peer-bus probe reaches.
struct PeerFunction : Location {
    uint16_t vendor_id = 0;
    uint16_t device_id = 0;
};

// A function that answers where neither the scan nor the peer-bus probe
// looks: device 1f function 7 (devfn 255), which no scan probes, or a
// function 1..7 on a bus no scan reaches, of a device without function 0,
// by which the peer-bus probe finds a bus.
struct UnscannedFunction {
    PeerFunction at;
    bool last_devfn;  // the first kind
};

// Runs discovery as every open does (the Windows version class each time,
// the bus scan only the first time in the process). Returns the number of
// functions found.
unsigned Discover();
// Runs the registry annotation every open runs after discovery, filling
// the functions' registry texts.
void Annotate();
// The functions found, in scan order; empty before discovery or when the
// scan found nothing.
std::vector<Function> Functions();
// Bus 0, the root of the bus tree, with everything below it.
Bus RootBus();
// The functions on peer root buses that the list lacks because the
// peer-bus setting was not "1" at discovery, in the order that setting
// would append them; empty when it was. Runs discovery first, then probes
// with reads of its own (driver access opened and released around them;
// none when the driver did not initialise at the last try); what discovery
// found does not change.
std::vector<PeerFunction> UnreachedFunctions();
// The functions that answer where neither the scan nor the peer-bus probe
// looks, found by reads of its own as UnreachedFunctions does; for
// explaining an empty scan.
std::vector<UnscannedFunction> FunctionsNoScanReaches();

// The byte InitializeUlvexa returned at the library's last call of it
// (discovery's, after Discover), 1 being success; before any such call it
// calls InitializeUlvexa itself (and releases the driver again after a
// success). A tool asks for it to tell a driver that does not initialise
// from a bus where nothing answers. What discovery found does not change.
int DriverInitResult();

// Every card in search order, as Quorel_open counts: every type-1 card in
// list order, then every type-2 card.
std::vector<Card> Cards();
// The card filed under `board` by the last multi-card open; none when that
// entry is empty or `board` is not a board ID.
std::optional<Card> BoardCard(int board);

// Whether the last discovery found a Windows of the 9x family, whose
// registry the annotation reads by the Configuration Manager's entries.
bool NineXRegistry();
// The NT lookup's hardware-ID key paths for the function found at `at`,
// below HKEY_LOCAL_MACHINE, in the order it tries them; empty when no
// function sits there.
std::vector<std::wstring> HardwareIdKeys(const Location& at);
// The keys and values the registry annotation reads, so that a tool can
// copy exactly those.
struct RegistryReads {
    // NT family, below HKEY_LOCAL_MACHINE: each of a function's hardware-ID
    // keys (HardwareIdKeys), each instance subkey of it with these values,
    // and the instance's subkey `instance_subkey`.
    std::vector<std::wstring> instance_values;
    std::wstring instance_subkey;
    // 9x family: each subkey of `entries` below HKEY_DYN_DATA with the
    // value `entry_value`; one whose value is a PCI hardware key
    // (IsPciHardwareKey) names the key `static_prefix` + that value below
    // HKEY_LOCAL_MACHINE, read with these values.
    std::wstring entries;
    std::wstring entry_value;
    std::wstring static_prefix;
    std::vector<std::wstring> static_values;
};
const RegistryReads& RegistryReadList();
// Whether the 9x lookup takes a hardware key as a PCI function's.
bool IsPciHardwareKey(const std::wstring& key);

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
