// about.txt of `quorel snapshot`: what the snapshot was taken on, one
// "key: value" line each. The replay reads the windows line's first word
// (settings::kSnapshotWindowsKey) as the version to report.
#include <cstdio>
#include <string>

#include "api/inspect.h"
#include "platform/windows_api.h"
#include "quiet_stdout.h"
#include "quorel.h"
#include "settings/settings.h"
#include "snapshot/files.h"

#ifdef _WIN32
#include "dll_facts.h"
#else
#include <climits>
#include <unistd.h>
#endif

namespace snapshot {

namespace {

std::string LibraryLine() {
    int major = 0, minor = 0;
    {
        QuietStdout quiet;  // the banner goes to standard output
        Quorel_LibVersion(&major, &minor);
    }
    return "library: Quorel_LibVersion major " + std::to_string(major) + ", minor " +
           std::to_string(minor);
}

std::string Narrow(const WCHAR* text) {
    std::string narrow;
    for (; *text; ++text)
        narrow += *text < 0x80 ? static_cast<char>(*text) : '?';
    return narrow;
}

std::string WindowsLine() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExW(&info))
        return std::string(quorel::settings::kSnapshotWindowsKey) + "unknown (GetVersionExW failed)";
    return quorel::settings::kSnapshotWindowsKey + std::to_string(info.dwMajorVersion) + "." +
           std::to_string(info.dwMinorVersion) + " (build " + std::to_string(info.dwBuildNumber) +
           ", platform " + std::to_string(info.dwPlatformId) + ", \"" + Narrow(info.szCSDVersion) +
           "\"; GetVersionExW)";
}

#ifdef _WIN32
// A loaded module's full path and file version, "path (version a.b.c.d)".
std::string ModuleText(HMODULE module) {
    const std::string path = dll_facts::ModulePath(module);
    if (path.empty())
        return "not loaded";
    const std::string version = dll_facts::Describe(path).version;
    return path + (version.empty() ? " (no version resource)" : " (version " + version + ")");
}

std::string ModulesLines() {
    const WCHAR* driver = sizeof(void*) == 8 ? L"Ulvexa64.dll" : L"Ulvexa32.dll";
    HMODULE loaded = GetModuleHandleW(driver);
    return "quorel: " + ModuleText(nullptr) + ", the library built in\n" + "driver-access library: " +
           (loaded ? ModuleText(loaded) : Narrow(driver) + " not loaded");
}
#else
std::string ModulesLines() {
    char path[PATH_MAX] = {};
    ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    return "quorel: " + std::string(length > 0 ? path : "unknown") + " (version " QUOREL_TOOL_VERSION
           "), the library built in\ndriver-access library: " QUOREL_TOOL_BACKEND ", linked in";
}
#endif

}  // namespace

std::string AboutText(const quorel::inspect::ConfigCapture& capture) {
    return LibraryLine() + "\n" + WindowsLine() + "\n" + "bitness: " +
           std::to_string(sizeof(void*) * 8) + "-bit process\n" + ModulesLines() + "\n" +
           "driver initialisation: InitializeUlvexa " +
           (capture.driver_opened ? "succeeded" : "failed") + "\n";
}

}  // namespace snapshot
