// Which registry layout the running Windows uses: the 9x family (4.x) keeps
// device instances under HKEY_DYN_DATA, the NT family (5.x, 6.x and later)
// under HKLM\SYSTEM\CurrentControlSet\Enum.
#include "pci/config_access.h"
#include "platform/windows_api.h"

namespace quorel {

int32_t OsFamily = 0;

namespace {
constexpr DWORD kMajorNt5 = 5;
constexpr DWORD kMinorMillennium = 90;  // 4.90: the 9x release with the newer layout
constexpr int32_t kFamily9xMillennium = 1;
constexpr int32_t kFamilyNt5 = 3;
constexpr int32_t kFamilyNt6 = 4;
}  // namespace

void ClassifyOs() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    // A failed query fills nothing: the earlier classification stands.
    if (!GetVersionExW(&info))
        return;
    if (info.dwMajorVersion >= kMajorNt5)
        OsFamily = info.dwMajorVersion == kMajorNt5 ? kFamilyNt5 : kFamilyNt6;
    else if (info.dwMinorVersion >= kMinorMillennium)
        OsFamily = kFamily9xMillennium;
}

}  // namespace quorel
