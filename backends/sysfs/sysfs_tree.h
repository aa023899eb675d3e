// Where Linux shows the PCI bus: one directory per function below
// <root>/bus/pci/devices, named DDDD:BB:DD.F, holding `config` (the
// function's configuration space), `resource` (one line per BAR: start, end
// and flags, in hex) and `resourceN` (BAR N's memory, for mmap). The root is
// /sys unless QUOREL_SYSFS_ROOT names another, so tests run on a fake tree.
#ifndef QUOREL_BACKENDS_SYSFS_TREE_H
#define QUOREL_BACKENDS_SYSFS_TREE_H

#include <cstdint>
#include <string>
#include <vector>

#include "ulvexa.h"

namespace quorel::sysfs {

// The kernel's IORESOURCE_MEM flag in a `resource` line: a memory BAR.
constexpr uint64_t kResourceMemory = 0x200;

// A function of PCI domain 0000, the only one the driver-access contract
// can address.
using PciAddress = ulvexa::Address;

// One line of `resource`: the CPU physical range a BAR decodes. All zero
// for a BAR that is absent or unassigned.
struct Resource {
    uint64_t start = 0;
    uint64_t end = 0;
    uint64_t flags = 0;
};

// The folder that stands for /sys, read from the environment now.
std::string Root();
// <root>/bus/pci/devices.
std::string DevicesDir();
// "0000:bb:dd.f", the function's directory name.
std::string FunctionName(const PciAddress& at);
// DevicesDir()/FunctionName(at)/file.
std::string FunctionFile(const PciAddress& at, const char* file);

// The domain-0000 functions listed in DevicesDir(), in directory order;
// false with "<dir>: <reason>" in *error when it cannot be read.
bool ListFunctions(std::vector<PciAddress>* functions, std::string* error);
// BAR0's line of the function's `resource`; false when it cannot be read
// or parsed.
bool ReadBar0Resource(const PciAddress& at, Resource* bar0);

// Tells the user on stderr, as "quorel-sysfs: <message>".
void Complain(const std::string& message);
// "<what>: <strerror(errno_value)>".
std::string ErrnoText(const std::string& what, int errno_value);

}  // namespace quorel::sysfs

#endif  // QUOREL_BACKENDS_SYSFS_TREE_H
