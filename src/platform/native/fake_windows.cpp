#include "platform/native/fake_windows.h"

#include <chrono>
#include <cstring>

#include "platform/windows_api.h"

namespace {

constexpr uint32_t kDefaultMajor = 6;
constexpr uint32_t kDefaultMinor = 1;
constexpr int64_t kDefaultFrequency = 10000000;  // 10 MHz, as most Windows PCs report

struct State {
    uint32_t major = kDefaultMajor;
    uint32_t minor = kDefaultMinor;
    bool version_fails = false;
    int64_t frequency = kDefaultFrequency;
    std::function<int64_t()> source;
    uint64_t reads = 0;
};

State& state() {
    static State s;
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
}

void SetCounterFrequency(int64_t hz) { state().frequency = hz; }

void SetCounterSource(std::function<int64_t()> source) { state().source = std::move(source); }

uint64_t CounterReads() { return state().reads; }

void Reset() { state() = State{}; }

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
