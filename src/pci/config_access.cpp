// Configuration-space reads (and, where the driver's write is imported,
// writes) of one function on top of the driver's dword primitive.
#include "pci/config_access.h"
#include "pci/devfn.h"

#include "driver/ulvexa.h"
#include "pci/device_list.h"
#include "trace/trace.h"

namespace quorel {

namespace {

constexpr uint16_t kDwordAlign = 0xFFFC;
constexpr uint16_t kByteLane = 3;
constexpr uint16_t kWordLane = 2;   // a word read ignores bit 0 of the offset
constexpr uint32_t kOffsetMask8 = 0xFF;

bool DriverRead(uint8_t bus, uint8_t devfn, uint16_t offset, uint32_t* value) {
    trace::ConfigRead();
    return PciCfgRead(bus, DeviceOf(devfn), FunctionOf(devfn), offset, value) != 0;
}

// Reads the dword holding offset and extracts the lane of the given width.
template <typename T>
bool ReadLane(uint8_t bus, uint8_t devfn, uint16_t offset, uint16_t lane, T* out) {
    *out = static_cast<T>(~T{0});
    uint32_t v = 0;
    if (!DriverRead(bus, devfn, offset & kDwordAlign, &v))
        return false;
    *out = static_cast<T>(v >> ((offset & lane) * 8));
    return true;
}

}  // namespace

bool CfgReadByte(uint8_t bus, uint8_t devfn, uint16_t offset, uint8_t* out) {
    return ReadLane(bus, devfn, offset, kByteLane, out);
}

bool CfgReadWord(uint8_t bus, uint8_t devfn, uint16_t offset, uint16_t* out) {
    return ReadLane(bus, devfn, offset, kWordLane, out);
}

bool CfgReadDword(uint8_t bus, uint8_t devfn, uint16_t offset, uint32_t* out) {
    *out = 0xFFFFFFFF;
    uint32_t v = 0;
    if (!DriverRead(bus, devfn, offset, &v))  // sent as given, not aligned
        return false;
    *out = v;
    return true;
}

#ifdef QUOREL_HAS_CFG_WRITERS
namespace {

// Read-modify-write of the lane of the given width; the other bytes of the
// dword are written back as read. Nothing is written when the read fails.
template <typename T>
bool WriteLane(uint8_t bus, uint8_t devfn, uint16_t offset, uint16_t lane, T value) {
    uint16_t aligned = offset & kDwordAlign;
    uint32_t old = 0;
    if (!CfgReadDword(bus, devfn, aligned, &old))
        return false;
    unsigned shift = (offset & lane) * 8;
    uint32_t mask = static_cast<uint32_t>(static_cast<T>(~T{0})) << shift;
    uint32_t merged = (old & ~mask) | (static_cast<uint32_t>(value) << shift);
    return CfgWriteDword(bus, devfn, aligned, merged);
}

}  // namespace

bool CfgWriteByte(uint8_t bus, uint8_t devfn, uint16_t offset, uint8_t value) {
    return WriteLane(bus, devfn, offset, kByteLane, value);
}

bool CfgWriteWord(uint8_t bus, uint8_t devfn, uint16_t offset, uint16_t value) {
    return WriteLane(bus, devfn, offset, kWordLane, value);
}

bool CfgWriteDword(uint8_t bus, uint8_t devfn, uint16_t offset, uint32_t value) {
    return PciCfgWrite(bus, DeviceOf(devfn), FunctionOf(devfn), offset, value) != 0;
}
#endif

bool PciReadByte(uint8_t bus, uint8_t devfn, uint32_t offset, uint8_t* out) {
    return CfgReadByte(bus, devfn, static_cast<uint16_t>(offset & kOffsetMask8), out);
}

bool PciReadDword(uint8_t bus, uint8_t devfn, uint32_t offset, uint32_t* out) {
    return CfgReadDword(bus, devfn, static_cast<uint16_t>(offset & kOffsetMask8), out);
}

bool DevReadDword(const DeviceRecord* record, uint32_t offset, uint32_t* out) {
    return PciReadDword(record->bus->number, static_cast<uint8_t>(record->devfn), offset, out);
}

}  // namespace quorel
