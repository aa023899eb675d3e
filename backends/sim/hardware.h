// The hardware the stand-in simulates, as the hardware itself defines it: the
// fields of a PCI configuration header that the simulated bus decodes, and
// the card as its own description gives it. Deliberately written apart from
// the library under test: a wrong constant there must meet a card that
// behaves as the real one would, not one that mirrors the mistake.
#ifndef QUOREL_SIM_HARDWARE_H
#define QUOREL_SIM_HARDWARE_H

#include <cstdint>

namespace quorel::sim {

// PCI configuration header, type 0 and type 1 alike.
constexpr uint16_t kIdsOffset = 0x00;   // vendor ID in bits 15:0, device ID in 31:16
constexpr uint16_t kBar0Offset = 0x10;  // BAR0; BAR1 follows at 0x14
// A BAR's bit 0 set means I/O space. For memory, bits 2:1 give the type
// (10b: 64 bits wide, the upper half in the next BAR) and bits 3:0 are
// flags, not address.
constexpr uint32_t kBarIoSpace = 0x1;
constexpr uint32_t kBarMemTypeMask = 0x6;
constexpr uint32_t kBarMemType64 = 0x4;
constexpr uint32_t kBarMemAddressMask = 0xFFFFFFF0;

// The card: one vendor ID, two board variants told apart by the device ID,
// each decoding a memory window of its own size behind BAR0.
constexpr uint16_t kCardVendorId = 0x6A5D;

struct CardVariant {
    uint16_t device_id;
    uint64_t window_bytes;
};

constexpr CardVariant kCardVariants[] = {
    {0x0101, 4 << 20},  // 4 MiB of registers
    {0x494F, 1 << 10},  // 1 KiB of registers
};

}  // namespace quorel::sim

#endif  // QUOREL_SIM_HARDWARE_H
