// The driver-access library: the maker's Ulvexa32.dll / Ulvexa64.dll, or our
// stand-in in sim/; natively on Linux also backends/sysfs/, over this
// machine's own PCI bus. Everything this library does to the hardware goes
// through these six functions, imported by name. The 32-bit build calls them
// with __stdcall; the export names are the plain ones in both builds.
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

#ifdef __cplusplus
}  // extern "C"
static_assert(offsetof(PhysMapRecord, length) == 0, "length at 0");
static_assert(offsetof(PhysMapRecord, phys_addr) == 8, "phys_addr at 8");
static_assert(sizeof(PhysMapRecord) == 40, "PhysMapRecord is 40 bytes");
#endif

#endif  // QUOREL_DRIVER_ULVEXA_H
