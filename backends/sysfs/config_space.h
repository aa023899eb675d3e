// Configuration space through each function's sysfs `config` file, as the
// driver-access contract reads it: one dword at a time, at offset & ~3.
//
// What the file gives is what the hardware gives: a function with no
// directory is not there, and its reads succeed with all ones, as when
// nobody claims a configuration cycle. Linux shows a reader without
// CAP_SYS_ADMIN only the first 64 bytes (128 of a CardBus bridge): past the
// end of what the file gives, reads succeed with 0, as `lspci -x` shows it.
#ifndef QUOREL_BACKENDS_SYSFS_CONFIG_SPACE_H
#define QUOREL_BACKENDS_SYSFS_CONFIG_SPACE_H

#include <cstdint>
#include <map>
#include <string>

#include "sysfs_tree.h"

namespace quorel::sysfs {

// The Command register's Memory Space bit: the function decodes its memory BARs.
constexpr uint16_t kCommandOffset = 0x04;
constexpr uint32_t kCommandMemorySpace = 0x2;

class ConfigSpace {
public:
    ConfigSpace() = default;
    ConfigSpace(const ConfigSpace&) = delete;
    ConfigSpace& operator=(const ConfigSpace&) = delete;
    ~ConfigSpace() { Release(); }

    // False: an address no configuration cycle can carry (device > 31,
    // function > 7, offset >= 0x1000), or a file that exists but cannot be
    // read. *value is only written on success.
    bool Read(const PciAddress& at, uint16_t offset, uint32_t* value);
    // A write to an absent function is dropped and succeeds, as on the bus.
    // False as for Read, or when the file cannot be written (not root).
    bool Write(const PciAddress& at, uint16_t offset, uint32_t value);
    // Closes the files kept open between reads.
    void Release();

private:
    // An open descriptor of the function's config file, -1 with errno set.
    int ReadDescriptor(const std::string& path);

    std::map<std::string, int> open_;  // by path: the scan reads each function many times
};

}  // namespace quorel::sysfs

#endif  // QUOREL_BACKENDS_SYSFS_CONFIG_SPACE_H
