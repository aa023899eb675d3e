// kernel32's version, performance counter and environment functions over
// the host: the version from QUOREL_SIM_WINVER (or a snapshot's about.txt),
// the counter over the monotonic clock, the C library's environment.
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "native_winapi/windows_state.h"
#include "platform/windows_api.h"
#include "process_env/process_env.h"
#include "settings/settings.h"

namespace native_winapi {

namespace {

using quorel::settings::kSimWinver;
using quorel::settings::kSnapshotWindowsKey;

constexpr uint32_t kMaxVersionPart = 255;

bool ParseVersionPart(std::string_view digits, uint32_t* value) {
    const char* end = digits.data() + digits.size();
    auto [stop, error] = std::from_chars(digits.data(), end, *value);
    return !digits.empty() && error == std::errc() && stop == end && *value <= kMaxVersionPart;
}

// The first word of the line of the snapshot's about.txt that starts with
// "windows: ", e.g. "6.1"; empty without a snapshot, or when the folder is
// not one, or the file or the line is missing (said on stderr). *source
// names the file, for messages.
std::string SnapshotVersion(std::string* source) {
    namespace env = quorel::process_env;
    *source = env::SnapshotFile(quorel::settings::kSnapshotAboutFile);
    std::string about;
    if (source->empty() || !env::SnapshotProblem().empty())
        return about;
    const std::string key = std::string("\n") + kSnapshotWindowsKey;
    size_t line = std::string::npos;
    if (env::ReadTextFile(*source, &about))
        line = about.insert(0, 1, '\n').find(key);
    if (line == std::string::npos) {
        env::Complain(*source + ": no line '" + kSnapshotWindowsKey + "major.minor'; the version stays the default");
        return std::string();
    }
    size_t start = line + key.size();
    return about.substr(start, about.find_first_of(" \r\n", start) - start);
}

}  // namespace

WindowsState InitialWindows() {
    WindowsState s;
    // Messages begin with the variable, "<variable>='...", or with the
    // snapshot's line, "<about file>: windows: '...".
    std::string source = std::string(kSimWinver) + "=";
    std::string text = quorel::process_env::GetEnvironment(kSimWinver);
    if (text.empty()) {
        text = SnapshotVersion(&source);
        source += ": " + std::string(kSnapshotWindowsKey);
    }
    std::string_view view = text;
    size_t dot = view.find('.');
    uint32_t major = 0, minor = 0;
    if (dot != std::string_view::npos && ParseVersionPart(view.substr(0, dot), &major) &&
        ParseVersionPart(view.substr(dot + 1), &minor)) {
        s.major = major;
        s.minor = minor;
    } else if (!text.empty()) {
        quorel::process_env::Complain(source + "'" + text +
                                      "' is not a Windows version, expected major.minor such as 5.1; using " +
                                      std::to_string(s.major) + "." + std::to_string(s.minor));
    }
    return s;
}

WindowsState& Windows() {
    static WindowsState s = InitialWindows();
    return s;
}

int64_t ClockTicks(int64_t frequency) {
    using namespace std::chrono;
    auto ns = duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
    // Split to keep ns * frequency from overflowing.
    return (ns / 1000000000) * frequency + (ns % 1000000000) * frequency / 1000000000;
}

}  // namespace native_winapi

using native_winapi::Windows;

BOOL WINAPI GetVersionExW(OSVERSIONINFOW* info) {
    if (Windows().version_fails || info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOW))
        return 0;
    info->dwMajorVersion = Windows().major;
    info->dwMinorVersion = Windows().minor;
    info->dwBuildNumber = 0;
    info->dwPlatformId = Windows().major >= 5 ? 2 : 1;  // VER_PLATFORM_WIN32_NT / _WINDOWS
    std::memset(info->szCSDVersion, 0, sizeof(info->szCSDVersion));
    return 1;
}

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
    frequency->QuadPart = Windows().frequency;
    return 1;
}

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* count) {
    int64_t frequency = Windows().frequency;
    auto counter = Windows().counter;
    count->QuadPart = counter ? counter(frequency) : native_winapi::ClockTicks(frequency);
    return 1;
}

// Natively the process environment is the C library's, which setenv keeps
// current.
DWORD WINAPI GetEnvironmentVariableA(const char* name, char* buffer, DWORD size) {
    const char* value = std::getenv(name);
    if (!value)
        return 0;
    size_t length = std::strlen(value);
    if (length >= size)
        return static_cast<DWORD>(length + 1);
    std::memcpy(buffer, value, length + 1);
    return static_cast<DWORD>(length);
}
