// A simulated PC and its registry made from a fuzz input, for the target
// that runs the whole discovery and annotation. Every input makes a valid
// machine file and .reg text, so no run is lost to the file formats (their
// own targets fuzz those).
//
// Input, read byte by byte (reading past the end gives 0):
//   0     bits 0-1 Windows (0: 4.10, 1: 5.1, 2 and 3: 6.1), bit 2 fail-init,
//         bit 3 Quorel_open2 after Quorel_open, bits 4-6 Quorel_open's
//         position, bit 7 no opens: discovery and two annotations alone
//         (mapping a 4 MiB window costs more than all the rest under ASan)
//   1     the registry call that fails (0: none)
//   then up to kMaxFunctions functions of 8 bytes each:
//   0     bus (0..7, so that bridges meet)
//   1     device (bits 0-4), function (bits 5-7)
//   2     kind (bits 0-3, see Kind), multi-function (bit 7)
//   3..5  the kind's arguments: a bridge's primary, secondary and subordinate
//         bus; a card's BAR0 (bits 0-2 of 3), board-ID byte (4) and refused
//         mapping (bit 0 of 5); other functions' device ID or header layout
//   6     registry entries (see RegistryFlag)
//   7     a failing configuration read: offset bits 2-7, N bits 0-1
//         (0: every read at that offset fails)
// A location given twice keeps its first function; the failing read of a
// later one still applies (reads of a slot can fail whatever is there).
#ifndef QUOREL_FUZZ_FUZZ_WORLD_H
#define QUOREL_FUZZ_FUZZ_WORLD_H

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"

namespace fuzz {

struct World {
    uint32_t windows_major = 6;
    uint32_t windows_minor = 1;
    bool open = true;
    bool open2 = false;
    int position = 0;
    uint64_t failing_registry_call = 0;
    std::string machine;  // lspci -xxx text with directives
    RegText registry;     // NT and 9x entries both; the version picks one
};

World MakeWorld(const uint8_t* data, size_t size);

}  // namespace fuzz

#endif  // QUOREL_FUZZ_FUZZ_WORLD_H
