// A function's device and function numbers packed as the configuration
// cycle carries them: devfn = device << 3 | function.
#ifndef QUOREL_PCI_DEVFN_H
#define QUOREL_PCI_DEVFN_H

#include <cstdint>

namespace quorel {

// Bits above the 5 of the device and the 3 of the function are dropped.
constexpr uint8_t Devfn(unsigned device, unsigned function) {
    return static_cast<uint8_t>((device & 0x1Fu) << 3 | (function & 7u));
}
constexpr uint8_t DeviceOf(unsigned devfn) { return static_cast<uint8_t>(devfn >> 3 & 0x1Fu); }
constexpr uint8_t FunctionOf(unsigned devfn) { return static_cast<uint8_t>(devfn & 7u); }

}  // namespace quorel

#endif  // QUOREL_PCI_DEVFN_H
