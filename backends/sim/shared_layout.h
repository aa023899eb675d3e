// The memory of a machine that processes share (shared_machine.h), as each
// of them lays it out from its own machine, so that it is the same for all
// that simulate the same one, 32- and 64-bit alike: fixed-width fields, no
// pointers, every byte placed explicitly.
//
//   Header, then one WindowSlot per window (every function whose BAR0 is a
//   memory BAR, in location order); the modelled cards' CardRecords; each
//   window's bytes on whole pages.
#ifndef QUOREL_SIM_SHARED_LAYOUT_H
#define QUOREL_SIM_SHARED_LAYOUT_H

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <vector>

#include "machine.h"

namespace quorel::sim::shared {

constexpr uint64_t kMagic = 0x4d49534c45524f51;  // "QORELSIM", little-endian
// Changes whenever the layout below or CardStateData's does.
constexpr uint32_t kLayoutVersion = 1;

struct alignas(8) Header {
    uint64_t magic;
    uint32_t layout_version;
    uint32_t ready;   // 1 once the maker has filled in the header and slots
    uint32_t lock;    // the CrossProcessLock's word
    uint32_t maker;   // the maker's process ID
    uint64_t size;    // of the whole memory
    uint64_t machine; // the machine's fingerprint: its functions and windows
    uint32_t window_count;
    uint32_t padding;
};
static_assert(sizeof(Header) == 48 && offsetof(Header, size) == 24 && offsetof(Header, window_count) == 40);

struct alignas(8) WindowSlot {
    uint64_t offset;    // of the window's first byte
    uint64_t size;      // its whole pages
    uint64_t card;      // of its CardRecord; 0: plain memory
    uint64_t model;     // the card model's fingerprint; 0: none
    uint32_t location;  // bus << 8 | device << 3 | function
    uint32_t ready;     // 1 once its bytes (and card) have their start
};
static_assert(sizeof(WindowSlot) == 40 && offsetof(WindowSlot, location) == 32);
static_assert(std::is_trivially_copyable_v<Header> && std::is_trivially_copyable_v<WindowSlot>);

// What a process's machine needs, as it would be laid out (slots not ready).
struct Layout {
    uint64_t machine = 0;
    uint64_t size = 0;
    std::vector<WindowSlot> slots;
};
Layout LayOut(const Machine& machine);

inline uint32_t LocationOf(const Address& at) {
    return static_cast<uint32_t>(at.bus) << 8 | at.device << 3 | at.function;
}

}  // namespace quorel::sim::shared

#endif  // QUOREL_SIM_SHARED_LAYOUT_H
