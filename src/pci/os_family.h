// Which registry layout the running Windows uses: the 9x family (4.x) keeps
// device instances under HKEY_DYN_DATA, the NT family (5.x, 6.x and later)
// under HKLM\SYSTEM\CurrentControlSet\Enum. Discovery classifies the
// version (ClassifyOs); the registry lookups (src/registry/) read it.
#ifndef QUOREL_PCI_OS_FAMILY_H
#define QUOREL_PCI_OS_FAMILY_H

#include <cstdint>

namespace quorel {

// OsFamily's values; 2 is never produced. ClassifyOs stores nothing for 95
// and 98 (4.x before 4.90): they keep kUnclassified, a 9x family value.
// Code asks the helpers below rather than comparing values.
namespace os_family {
constexpr int32_t kUnclassified = 0;     // before ClassifyOs, and 95, 98
constexpr int32_t kNineXMillennium = 1;  // 4.90 and later 4.x: Me
constexpr int32_t kWindows5 = 3;         // 2000, XP, Server 2003
constexpr int32_t kWindows6 = 4;         // Vista and later
}  // namespace os_family

// The class of the Windows version reported at the last discovery.
extern int32_t OsFamily;

void ClassifyOs();

inline bool IsNineXFamily(int32_t family) { return family < os_family::kWindows5; }
inline bool IsWindows6(int32_t family) { return family == os_family::kWindows6; }

}  // namespace quorel

#endif  // QUOREL_PCI_OS_FAMILY_H
