#include "native_winapi/default_registry.h"

#include "native_winapi/reg_file_reader.h"
#include "process_env/process_env.h"
#include "settings/settings.h"

namespace native_winapi::registry {

namespace {

using quorel::settings::kSimRegistry;
using quorel::settings::kSnapshotRegistryFile;

constexpr DWORD kFirstNt6Major = 6;  // Vista and later: the @pci.sys,#65536 texts
constexpr DWORD kNt5Major = 5;       // 2000, XP, Server 2003

// The default registry describes the simulated machine. A build over a
// real bus (Linux sysfs) starts empty instead: real functions whose IDs
// happen to match must not get the simulated machine's entries.
#ifdef QUOREL_NO_DEFAULT_REGISTRY
constexpr bool kSimulatedMachine = false;
#else
constexpr bool kSimulatedMachine = true;
#endif

struct Embedded {
    const char* name;
    const char* text;
};

Embedded ForReportedVersion() {
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    DWORD major = GetVersionExW(&info) ? info.dwMajorVersion : kFirstNt6Major;
    if (major >= kFirstNt6Major)
        return {kDefaultNt6RegistryName, kDefaultNt6RegistryText};
    if (major == kNt5Major)
        return {kDefaultNt5RegistryName, kDefaultNt5RegistryText};
    return {kDefault9xRegistryName, kDefault9xRegistryText};
}

}  // namespace

Hives DefaultHives() {
    namespace env = quorel::process_env;
    // The variable of its own wins, so one part of a snapshot can be
    // swapped. A snapshot that is none leaves the registry empty (said once,
    // where it was found).
    const std::string own = env::GetEnvironment(kSimRegistry);
    if (own.empty() && !env::SnapshotProblem().empty())
        return Hives{};
    const std::string path = own.empty() ? env::SnapshotFile(kSnapshotRegistryFile) : own;
    Hives hives;
    std::string error;
    bool loaded = false;
    if (path.empty()) {
        if (!kSimulatedMachine)
            return Hives{};
        Embedded file = ForReportedVersion();
        loaded = ReadRegFile(file.text, file.name, &hives, &error);
    } else {
        loaded = ReadRegFileAt(path, &hives, &error);
    }
    if (loaded)
        return hives;
    quorel::process_env::Complain(error);
    return Hives{};
}

}  // namespace native_winapi::registry
