// The card as the PCI bus and its register window show it. Both board
// variants carry one vendor ID; the device ID tells them apart and fixes the
// size of the memory window behind BAR0.
#ifndef QUOREL_API_CARD_REGS_H
#define QUOREL_API_CARD_REGS_H

#include <cstdint>

namespace quorel::card {

constexpr uint16_t kVendorId = 0x6A5D;
constexpr uint16_t kDeviceIdType1 = 0x0101;  // 4 MiB window, unpaced
constexpr uint16_t kDeviceIdType2 = 0x494F;  // 1 KiB window, paced accesses

constexpr int32_t kType1 = 1;  // values of CardType
constexpr int32_t kType2 = 2;

constexpr uint64_t kWindowType1 = 0x400000;
constexpr uint64_t kWindowType2 = 0x400;

// BAR0 holds the window's 32-bit physical base; the low four bits are the
// BAR's type flags, bit 0 set meaning I/O space (not mappable memory).
constexpr uint32_t kBarAddressMask = 0xFFFFFFF0;
constexpr uint32_t kBarIoSpace = 0x1;

// Register n is the byte at window offset n * 4; the other three bytes of
// each step are never touched. Register 255 is the control/status register,
// reached only through the dedicated commands.
constexpr uint32_t kRegisterStride = 4;
constexpr uint8_t kCsrIndex = 255;
constexpr uint32_t kCsrOffset = 1020;
static_assert(kCsrOffset == kCsrIndex * kRegisterStride, "CSR is register 255");

// Bytes written to the control/status register.
constexpr uint8_t kCsrReset = 0xC0;
constexpr uint8_t kCsrEnableInt = 0x0C;
constexpr uint8_t kCsrDisableInt = 0x08;
constexpr uint8_t kCsrAckInt = 0x03;

// Board-ID register (register 6): bit 7 is board-ID bit 1, bit 3 is bit 0,
// the others are ignored.
constexpr uint32_t kBoardIdOffset = 24;
constexpr uint8_t kBoardIdHighBit = 0x80;
constexpr uint8_t kBoardIdLowBit = 0x08;
constexpr int kBoardCount = 4;

// Window length for a CardType value.
constexpr uint64_t WindowLength(int32_t type) {
    return type == kType2 ? kWindowType2 : kWindowType1;
}

// Board ID 0..3 from the board-ID register's byte.
constexpr int BoardIdFromRegister(uint8_t value) {
    return ((value & kBoardIdHighBit) ? 2 : 0) | ((value & kBoardIdLowBit) ? 1 : 0);
}

}  // namespace quorel::card

#endif  // QUOREL_API_CARD_REGS_H
