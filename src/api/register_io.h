// Single-byte loads and stores through a mapped register window. Volatile:
// each access must reach the card exactly once and in program order.
#ifndef QUOREL_API_REGISTER_IO_H
#define QUOREL_API_REGISTER_IO_H

#include <cstdint>

namespace quorel {

inline uint8_t LoadRegisterByte(uint8_t* window, uint32_t offset) {
    return *static_cast<volatile uint8_t*>(window + offset);
}

inline void StoreRegisterByte(uint8_t* window, uint32_t offset, uint8_t value) {
    *static_cast<volatile uint8_t*>(window + offset) = value;
}

}  // namespace quorel

#endif  // QUOREL_API_REGISTER_IO_H
