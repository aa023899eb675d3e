// PCI configuration-space registers and values the scan relies on. The
// layout is the PCI Local Bus one; offsets are bytes from the start of a
// function's configuration space.
#ifndef QUOREL_PCI_PCI_REGS_H
#define QUOREL_PCI_PCI_REGS_H

#include <cstdint>

namespace quorel::pci {

constexpr uint16_t kVendorId = 0x00;         // 16 bits; device ID follows at 0x02
constexpr uint16_t kCommand = 0x04;          // 16 bits
constexpr uint16_t kClassRevision = 0x08;    // revision in byte 0, class code above
constexpr uint16_t kHeaderType = 0x0E;       // 8 bits, bit 7 = multi-function
constexpr uint16_t kBar0 = 0x10;             // six dwords for header layout 0
constexpr uint16_t kBusNumbers = 0x18;       // layout 1: primary, secondary, subordinate, latency
constexpr uint16_t kSubsystem = 0x2C;        // subsystem vendor ID, subsystem ID
constexpr uint16_t kRomBar = 0x30;           // layout 0 expansion ROM
constexpr uint16_t kBridgeRomBar = 0x38;     // layout 1 expansion ROM
constexpr uint16_t kInterruptLine = 0x3C;    // 8 bits
constexpr uint16_t kInterruptPin = 0x3D;     // 8 bits
constexpr unsigned kConfigSize = 256;        // the part every PCI function has

constexpr uint8_t kCommandBusMaster = 0x04;
constexpr uint8_t kHeaderMultiFunction = 0x80;
constexpr uint8_t kHeaderLayoutMask = 0x7F;
constexpr uint8_t kLayoutNormal = 0;
constexpr uint8_t kLayoutPciBridge = 1;
constexpr uint8_t kLayoutCardBusBridge = 2;

// Base class and subclass, class_code >> 8.
constexpr uint32_t kClassPciBridge = 0x0604;
constexpr uint32_t kClassCardBusBridge = 0x0607;

// Memory BAR type bits 2:1 = 10b with bit 0 clear: a 64-bit BAR whose upper
// half is the next register.
constexpr uint32_t kBarTypeMask = 7;
constexpr uint32_t kBarMem64 = 4;

constexpr uint32_t kAllOnes32 = 0xFFFFFFFF;

constexpr unsigned kBusCount = 256;    // 8-bit bus numbers
constexpr unsigned kDeviceCount = 32;  // devices per bus, 8 functions each

// The ID dword (vendor in the low word, device in the high one) of a
// function that is not there: all ones from a master abort, zeros or a
// half of each from some chipsets and emulators.
constexpr bool IdsAbsent(uint32_t ids) {
    return ids == kAllOnes32 || ids == 0 || ids == 0x0000FFFF || ids == 0xFFFF0000;
}

constexpr unsigned kBarCountNormal = 6;
constexpr unsigned kBarCountPciBridge = 2;
constexpr unsigned kBarCountCardBus = 1;

}  // namespace quorel::pci

#endif  // QUOREL_PCI_PCI_REGS_H
