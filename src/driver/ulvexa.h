// The driver-access library: the maker's Ulvexa32.dll / Ulvexa64.dll, or our
// stand-in in sim/; natively on Linux also backends/sysfs/, over this
// machine's own PCI bus. Everything this library does to the hardware goes
// through these six functions, imported by name. The 32-bit build calls them
// with __stdcall; the export names are the plain ones in both builds. A
// driver-access library may export a seventh, DescribeUlvexa, for tools.
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

// Opens driver access: ULVEXA_INITIALIZED, or a failure.
uint8_t ULVEXA_API InitializeUlvexa(void);
// Releases the driver opened by InitializeUlvexa.
void ULVEXA_API RemoveUlvexaDriver(void);
// Shuts driver access down; called at every close.
void ULVEXA_API ShutdownUlvexa(void);
// Maps record->length bytes at record->phys_addr into this process.
// NULL means the mapping was refused.
uint8_t* ULVEXA_API MapPhysToLin(PhysMapRecord* record);
// Reads the configuration dword at offset of bus/device/function into *value.
// Nonzero means success.
uint8_t ULVEXA_API PciCfgRead(uint8_t bus, uint8_t device, uint8_t function,
                              uint16_t offset, uint32_t* value);
// Writes a configuration dword. Nonzero means success. Only the 32-bit
// build of the library imports it.
uint8_t ULVEXA_API PciCfgWrite(uint8_t bus, uint8_t device, uint8_t function,
                               uint16_t offset, uint32_t value);

// Optional, and never called by the library: the maker's DLL does not
// export it, so a tool looks it up by name. One line of UTF-8 text saying
// what this library simulates or reaches; when it refuses that, a tab and
// why follow. The parts have their control characters written out ("\x1b"),
// so the tab is the only one. Copies at most size - 1 bytes and a NUL into
// text (nothing when size is 0) and returns the whole line's length: a
// result of size or more means the line was cut.
uint32_t ULVEXA_API DescribeUlvexa(char* text, uint32_t size);
typedef uint32_t(ULVEXA_API* DescribeUlvexaFunction)(char* text, uint32_t size);

#ifdef __cplusplus
}  // extern "C"
static_assert(offsetof(PhysMapRecord, length) == 0, "length at 0");
static_assert(offsetof(PhysMapRecord, phys_addr) == 8, "phys_addr at 8");
static_assert(sizeof(PhysMapRecord) == 40, "PhysMapRecord is 40 bytes");
#endif

#endif  // QUOREL_DRIVER_ULVEXA_H
