#include "pci/os_family.h"

#include "platform/windows_api.h"
#include "trace/trace.h"

namespace quorel {

int32_t OsFamily = os_family::kUnclassified;

namespace {
constexpr DWORD kMajorNt5 = 5;
constexpr DWORD kMinorMillennium = 90;  // 4.90: the 9x release with the newer layout
}  // namespace

void ClassifyOs() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    // A failed query fills nothing: the earlier classification stands.
    if (!GetVersionExW(&info))
        return;
    if (info.dwMajorVersion >= kMajorNt5)
        OsFamily = info.dwMajorVersion == kMajorNt5 ? os_family::kWindows5 : os_family::kWindows6;
    else if (info.dwMinorVersion >= kMinorMillennium)
        OsFamily = os_family::kNineXMillennium;
    trace::WindowsVersion(info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber, OsFamily);
}

}  // namespace quorel
