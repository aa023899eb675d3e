// What the native GetVersionExW and performance counter report. The
// defaults come from the environment (settings/settings.h) and a 10 MHz
// counter that follows the host's monotonic clock; the test controls
// (controls/fake_windows.h) change them.
#ifndef QUOREL_NATIVE_WINAPI_WINDOWS_STATE_H
#define QUOREL_NATIVE_WINAPI_WINDOWS_STATE_H

#include <cstdint>

namespace native_winapi {

struct WindowsState {
    uint32_t major = 6;
    uint32_t minor = 1;
    bool version_fails = false;  // GetVersionExW returns FALSE, fills nothing
    int64_t frequency = 10000000;  // 10 MHz, as most Windows PCs report
    // Replaces the clock when set: each QueryPerformanceCounter call
    // returns counter(frequency).
    int64_t (*counter)(int64_t frequency) = nullptr;
};

WindowsState& Windows();
// The defaults, with the version QUOREL_SIM_WINVER names read again.
WindowsState InitialWindows();
// The clock-driven counter: ticks of `frequency` on the monotonic clock.
int64_t ClockTicks(int64_t frequency);

}  // namespace native_winapi

#endif  // QUOREL_NATIVE_WINAPI_WINDOWS_STATE_H
