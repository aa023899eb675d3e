// Windows version class, opening the driver-access library, and reads of one
// function's configuration space on top of the driver's dword primitive.
// Every accessor returns true on success; a failed read leaves the all-ones
// value of its width in *out.
#ifndef QUOREL_PCI_CONFIG_ACCESS_H
#define QUOREL_PCI_CONFIG_ACCESS_H

#include <cstdint>

#include "pci/os_family.h"

// The configuration writers exist only where the driver's write is imported:
// the 32-bit DLL, and the native build so that they can be tested.
#if !defined(_WIN64)
#define QUOREL_HAS_CFG_WRITERS 1
#endif

namespace quorel {

struct DeviceRecord;

// 1 while InitializeUlvexa has succeeded and RemoveUlvexaDriver not yet run.
extern int32_t driver_open;
// The byte the last InitializeUlvexa returned, kNoInitResult before the
// first: discovery's result, for a tool that explains an empty scan.
constexpr int32_t kNoInitResult = -1;
extern int32_t driver_init_result;

// True when driver access is open (now or already).
bool OpenDriver();
void RemoveDriver();

// Raw accessors: bus number, devfn (pci/devfn.h), 16-bit offset.
bool CfgReadByte(uint8_t bus, uint8_t devfn, uint16_t offset, uint8_t* out);
bool CfgReadWord(uint8_t bus, uint8_t devfn, uint16_t offset, uint16_t* out);
bool CfgReadDword(uint8_t bus, uint8_t devfn, uint16_t offset, uint32_t* out);
#ifdef QUOREL_HAS_CFG_WRITERS
bool CfgWriteByte(uint8_t bus, uint8_t devfn, uint16_t offset, uint8_t value);
bool CfgWriteWord(uint8_t bus, uint8_t devfn, uint16_t offset, uint16_t value);
bool CfgWriteDword(uint8_t bus, uint8_t devfn, uint16_t offset, uint32_t value);
#endif

// The scan's variants: the offset counts by its low 8 bits only.
bool PciReadByte(uint8_t bus, uint8_t devfn, uint32_t offset, uint8_t* out);
bool PciReadDword(uint8_t bus, uint8_t devfn, uint32_t offset, uint32_t* out);
// The same at a record's bus number and devfn.
bool DevReadDword(const DeviceRecord* record, uint32_t offset, uint32_t* out);

}  // namespace quorel

#endif  // QUOREL_PCI_CONFIG_ACCESS_H
