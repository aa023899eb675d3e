#include "platform/native/fake_windows.h"

#include <charconv>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/native/fake_registry.h"
#include "platform/native/registry_state.h"
#include "platform/windows_api.h"
#include "sim/environment.h"

namespace {

constexpr uint32_t kDefaultMajor = 6;
constexpr uint32_t kDefaultMinor = 1;
constexpr uint32_t kMaxVersionPart = 255;
constexpr int64_t kDefaultFrequency = 10000000;  // 10 MHz, as most Windows PCs report

struct State {
    uint32_t major = kDefaultMajor;
    uint32_t minor = kDefaultMinor;
    bool version_fails = false;
    int64_t frequency = kDefaultFrequency;
    std::function<int64_t()> source;
    uint64_t reads = 0;
};

bool ParseVersionPart(std::string_view digits, uint32_t* value) {
    const char* end = digits.data() + digits.size();
    auto [stop, error] = std::from_chars(digits.data(), end, *value);
    return !digits.empty() && error == std::errc() && stop == end && *value <= kMaxVersionPart;
}

// The defaults, with the version QUOREL_SIM_WINVER names ("major.minor").
State Initial() {
    State s;
    std::string text = quorel::sim::GetEnvironment(fake_windows::kVersionVariable);
    std::string_view view = text;
    size_t dot = view.find('.');
    uint32_t major = 0, minor = 0;
    if (dot != std::string_view::npos && ParseVersionPart(view.substr(0, dot), &major) &&
        ParseVersionPart(view.substr(dot + 1), &minor)) {
        s.major = major;
        s.minor = minor;
    } else if (!text.empty()) {
        quorel::sim::Complain(std::string(fake_windows::kVersionVariable) + "='" + text +
                              "' is not a Windows version, expected major.minor such as 5.1; using " +
                              std::to_string(kDefaultMajor) + "." + std::to_string(kDefaultMinor));
    }
    return s;
}

State& state() {
    static State s = Initial();
    return s;
}

int64_t ClockTicks(int64_t frequency) {
    using namespace std::chrono;
    auto ns = duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
    // Split to keep ns * frequency from overflowing.
    return (ns / 1000000000) * frequency + (ns % 1000000000) * frequency / 1000000000;
}

}  // namespace

namespace fake_windows {

void SetVersion(uint32_t major, uint32_t minor, bool fails) {
    state().major = major;
    state().minor = minor;
    state().version_fails = fails;
    fake_registry::internal::VersionChanged();
}

void SetCounterFrequency(int64_t hz) { state().frequency = hz; }

void SetCounterSource(std::function<int64_t()> source) { state().source = std::move(source); }

uint64_t CounterReads() { return state().reads; }

void Reset() {
    state() = Initial();
    fake_registry::Reset();
}

}  // namespace fake_windows

BOOL WINAPI GetVersionExW(OSVERSIONINFOW* info) {
    if (state().version_fails || info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOW))
        return 0;
    info->dwMajorVersion = state().major;
    info->dwMinorVersion = state().minor;
    info->dwBuildNumber = 0;
    info->dwPlatformId = state().major >= 5 ? 2 : 1;  // VER_PLATFORM_WIN32_NT / _WINDOWS
    std::memset(info->szCSDVersion, 0, sizeof(info->szCSDVersion));
    return 1;
}

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
    frequency->QuadPart = state().frequency;
    return 1;
}

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* count) {
    ++state().reads;
    count->QuadPart = state().source ? state().source() : ClockTicks(state().frequency);
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
