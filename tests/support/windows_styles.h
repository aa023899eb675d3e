// The three styles of Windows registry the default machine has a file for,
// each with a version that reports it: the tests of the files and of the
// annotation over them share this table.
#ifndef QUOREL_TESTS_SUPPORT_WINDOWS_STYLES_H
#define QUOREL_TESTS_SUPPORT_WINDOWS_STYLES_H

#include <cstdint>

namespace test_support {

struct WindowsStyle {
    const char* name;  // the test parameter's name
    const char* file;  // in backends/sim/machines/
    uint32_t major, minor;

    bool Nt() const { return major >= 5; }
};

inline constexpr WindowsStyle kWindowsStyles[] = {
    {"Windows6", "default-nt6.reg", 10, 0},  // 6 and later: 10.0 must choose it too
    {"Windows5", "default-nt5.reg", 5, 1},
    {"Windows9x", "default-9x.reg", 4, 10},
};

}  // namespace test_support

#endif  // QUOREL_TESTS_SUPPORT_WINDOWS_STYLES_H
