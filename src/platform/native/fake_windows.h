// Controls for the native stand-ins of the Windows functions, for tests and
// tools of the Linux build. Defaults: Windows 6.1, a 10 MHz counter that
// follows the host's monotonic clock.
#ifndef QUOREL_PLATFORM_FAKE_WINDOWS_H
#define QUOREL_PLATFORM_FAKE_WINDOWS_H

#include <cstdint>
#include <functional>

namespace fake_windows {

// What GetVersionExW reports; with fails set it returns FALSE and fills nothing.
void SetVersion(uint32_t major, uint32_t minor, bool fails = false);

// What QueryPerformanceFrequency reports (the full 64-bit value).
void SetCounterFrequency(int64_t hz);

// Replaces the counter: each QueryPerformanceCounter call returns source().
// An empty function restores the clock-driven counter.
void SetCounterSource(std::function<int64_t()> source);

// Number of QueryPerformanceCounter calls since the last reset.
uint64_t CounterReads();

// Back to the defaults above, counts cleared.
void Reset();

}  // namespace fake_windows

#endif  // QUOREL_PLATFORM_FAKE_WINDOWS_H
