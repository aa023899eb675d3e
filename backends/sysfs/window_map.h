// Register windows: the function whose BAR0 resource starts at the physical
// address asked for, mapped through its sysfs `resource0` file (never
// /dev/mem, which kernels commonly lock down). Each refusal is said on
// stderr with its reason, since the caller only sees a null pointer.
//
// The kernel maps whole pages from the one holding the BAR's start, so a
// BAR smaller than a page that does not start on one (BARs are aligned to
// their size) lies that far into the mapping. Windows are never unmapped:
// the caller keeps using them after ShutdownUlvexa, and mapping the same
// resource0 file again gives the same window.
#ifndef QUOREL_BACKENDS_SYSFS_WINDOW_MAP_H
#define QUOREL_BACKENDS_SYSFS_WINDOW_MAP_H

#include <cstdint>
#include <string>
#include <vector>

#include "config_space.h"
#include "sysfs_tree.h"

namespace quorel::sysfs {

class WindowMaps {
public:
    // length bytes of the window at phys_addr, or null (with a message)
    // when no function's memory BAR0 starts there, BAR0 is shorter than
    // length (or length is 0), or the kernel refuses the mapping. A function whose memory
    // decoding is off is mapped with a warning: its window answers all ones
    // until the device is enabled.
    uint8_t* Map(uint64_t length, uint64_t phys_addr, ConfigSpace& config);

private:
    struct Window {
        std::string path;  // the resource0 file mapped
        uint64_t length;
        uint8_t* base;     // the register window, phys_addr's byte
    };

    uint8_t* Cached(const std::string& path, uint64_t length) const;
    static uint8_t* MapFile(const std::string& path, uint64_t length, uint64_t phys_addr);

    std::vector<Window> windows_;
};

}  // namespace quorel::sysfs

#endif  // QUOREL_BACKENDS_SYSFS_WINDOW_MAP_H
