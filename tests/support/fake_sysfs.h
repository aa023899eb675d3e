// Fake sysfs trees: a machine file's PCI functions written as Linux shows
// them, for the sysfs driver-access library. Each function gets
// <root>/devices/pci0000:00/0000:BB:DD.F (linked from
// <root>/bus/pci/devices, as in /sys) with
//   config     its configuration bytes: 256, 4096 when the dump shows
//              extended space, 64 as a reader who is not root sees them;
//   resource   BAR0's line (start, end, flags; the window's length as the
//              stand-in sizes it), then six empty lines;
//   resource0  a memory BAR0's window with its `window` bytes; missing for a
//              `refuse-map` function, an I/O or unassigned BAR0.
// So the stand-in and the sysfs backend run on the same machine. What a tree
// cannot hold (fail-read, fail-init) is left out.
#ifndef QUOREL_TESTS_FAKE_SYSFS_H
#define QUOREL_TESTS_FAKE_SYSFS_H

#include <string>

namespace test_support {

// Where the sysfs backend looks instead of /sys.
constexpr char kSysfsRootVariable[] = "QUOREL_SYSFS_ROOT";
// How much of configuration space Linux shows a reader who is not root.
constexpr unsigned kUnprivilegedConfigBytes = 64;

// Whose view of configuration space the config files give.
enum class ConfigView { kRoot, kUser };

// Writes the machine (a machine file's text) as a new tree in the test's
// temporary folder and returns its root. A malformed text throws.
std::string MakeFakeSysfs(const std::string& machine_text, ConfigView view = ConfigView::kRoot);

}  // namespace test_support

#endif  // QUOREL_TESTS_FAKE_SYSFS_H
