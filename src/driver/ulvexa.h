// The driver-access contract. Everything this library does to the hardware
// goes through these six functions, imported by name: from the maker's
// Ulvexa32.dll / Ulvexa64.dll, or from a backend of ours, the stand-in
// (backends/sim/, a simulated PC; on Windows the same DLLs) or, natively on Linux,
// backends/sysfs/ (this machine's own PCI bus). The 32-bit build calls them
// with __stdcall; the export names are the plain ones in both builds. A
// driver-access library may export a seventh, DescribeUlvexa, for tools.
//
// What every backend must do, as the maker's DLL does and the library
// relies on, is stated at each function. For all of them:
//  - Any function may be called at any time, in any order: before the
//    first InitializeUlvexa, after RemoveUlvexaDriver or ShutdownUlvexa,
//    and again after a failed InitializeUlvexa. None may crash or hang;
//    what it cannot do it refuses with its failure value.
//  - Calls may come from several threads: a backend serialises them itself.
//  - A backend of ours says why it refuses on stderr, one line starting
//    with its name ("quorel-sim: ", "quorel-sysfs: "), control characters
//    written out; a program initialises again and again (every open does),
//    so the same reason is said once, until another one comes up.
//  - It reads its settings (settings/settings.h) itself and includes
//    nothing of the library but this header.
//
// The library's own calls, for reference: the first open initialises,
// reads configuration space to scan the buses, releases the driver with
// RemoveUlvexaDriver and then maps each card's window with the driver
// released; every close calls ShutdownUlvexa, opened or not.
#ifndef QUOREL_DRIVER_ULVEXA_H
#define QUOREL_DRIVER_ULVEXA_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define ULVEXA_API __stdcall
#else
#define ULVEXA_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

// What MapPhysToLin is asked to map. The same 40-byte layout in both builds.
typedef struct PhysMapRecord {
    uint64_t length;        // window length in bytes
    uint64_t phys_addr;     // physical base address
    uint8_t reserved[24];   // the driver's own; never set or read by us
} PhysMapRecord;

// What InitializeUlvexa returns when driver access is open; any other value
// is a failure.
#define ULVEXA_INITIALIZED 1

// Opens driver access: ULVEXA_INITIALIZED, or a failure, and then
// configuration reads and writes keep failing. It may be called again and
// again, also while open (it is then opened afresh). Each call takes the
// backend's settings and its machine anew: the stand-in reloads the
// machine (configuration writes and window contents start over), the sysfs
// backend looks at the tree again.
uint8_t ULVEXA_API InitializeUlvexa(void);
// Releases the driver: configuration reads and writes fail until the next
// successful InitializeUlvexa. Harmless when it is not open. Windows
// mapped stay valid.
void ULVEXA_API RemoveUlvexaDriver(void);
// Shuts driver access down, as RemoveUlvexaDriver does; called at every
// close, also when InitializeUlvexa never ran or failed.
void ULVEXA_API ShutdownUlvexa(void);
// Maps record->length bytes of the register window at record->phys_addr
// into this process: the window of the function whose memory BAR0 starts
// there. NULL means refused: a NULL record, an address no function's
// memory BAR0 starts at (0 included), a length beyond that window, or a
// mapping the system refuses; the library never asks for 0 bytes. It
// works with the driver released (the library maps after
// RemoveUlvexaDriver).
// A window is never unmapped: it stays valid, and the device's, until the
// process ends, through RemoveUlvexaDriver, ShutdownUlvexa and later
// initialisations. Mapping the same window again may give the same
// pointer (ours do, until the next initialisation) or another one.
uint8_t* ULVEXA_API MapPhysToLin(PhysMapRecord* record);
// Reads the configuration dword at offset & ~3 of bus/device/function,
// PCI domain 0000, into *value, little-endian. Nonzero means success.
// Fails (returns 0, leaves *value alone) while the driver is not open, for
// a NULL value, device > 31, function > 7 or offset >= 0x1000, and where
// the configuration space cannot be read. A function that is absent reads
// 0xFFFFFFFF with success, as on the bus, where nobody claims the cycle.
uint8_t ULVEXA_API PciCfgRead(uint8_t bus, uint8_t device, uint8_t function,
                              uint16_t offset, uint32_t* value);
// Writes a configuration dword at offset & ~3. Nonzero means success.
// Fails as PciCfgRead does, and where the space cannot be written; a write
// to an absent function is dropped and succeeds. Only the 32-bit build of
// the library imports it.
uint8_t ULVEXA_API PciCfgWrite(uint8_t bus, uint8_t device, uint8_t function,
                               uint16_t offset, uint32_t value);

// Optional, and never called by the library: the maker's DLL does not
// export it, so a tool looks it up by name; our backends do (the stand-in
// names its machine, the sysfs backend the root it reads), and a new one
// should. One line of UTF-8 text saying
// what this library simulates or reaches; when it refuses that, a tab and
// why follow. The parts have their control characters written out ("\x1b"),
// so the tab is the only one. Copies at most size - 1 bytes and a NUL into
// text (nothing when size is 0) and returns the whole line's length: a
// result of size or more means the line was cut.
uint32_t ULVEXA_API DescribeUlvexa(char* text, uint32_t size);
typedef uint32_t(ULVEXA_API* DescribeUlvexaFunction)(char* text, uint32_t size);

// Optional as DescribeUlvexa, and for tools as well: the card model
// (docs/card-model.md) that the window at phys_addr follows in a
// simulation: the model file's path in UTF-8, copied and measured as
// DescribeUlvexa's line; 0 when the window follows none, as every real
// card's does.
uint32_t ULVEXA_API UlvexaWindowModel(uint64_t phys_addr, char* path, uint32_t size);
typedef uint32_t(ULVEXA_API* UlvexaWindowModelFunction)(uint64_t phys_addr, char* path,
                                                         uint32_t size);

#ifdef __cplusplus
}  // extern "C"
static_assert(offsetof(PhysMapRecord, length) == 0, "length at 0");
static_assert(offsetof(PhysMapRecord, phys_addr) == 8, "phys_addr at 8");
static_assert(sizeof(PhysMapRecord) == 40, "PhysMapRecord is 40 bytes");

// The contract's numbers, for the backends.
namespace ulvexa {

// Where a function sits, in PCI domain 0000.
struct Address {
    uint8_t bus;
    uint8_t device;    // 0..kMaxDevice
    uint8_t function;  // 0..kMaxFunction
};

// What a configuration access can carry: device 0..31, function 0..7, an
// offset below 4 KiB (PCI Express's extended space included). PciCfgRead
// and PciCfgWrite refuse the rest.
constexpr unsigned kMaxDevice = 31;
constexpr unsigned kMaxFunction = 7;
constexpr uint32_t kConfigSpaceSize = 0x1000;
constexpr bool CanCarry(const Address& at, uint16_t offset) {
    return at.device <= kMaxDevice && at.function <= kMaxFunction && offset < kConfigSpaceSize;
}

// What a read of an absent function gives: nobody claims the cycle.
constexpr uint32_t kNobodyAnswers = 0xFFFFFFFF;

}  // namespace ulvexa
#endif

#endif  // QUOREL_DRIVER_ULVEXA_H
