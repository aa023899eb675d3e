// Test controls of the native Windows functions, for tests and fuzzers only
// (the library and the tools use the defaults). Defaults: the Windows
// version QUOREL_SIM_WINVER names ("major.minor", e.g. 5.1; unset: 6.1;
// anything else is reported on stderr and gives 6.1), a 10 MHz counter that
// follows the host's monotonic clock.
#ifndef QUOREL_NATIVE_WINAPI_FAKE_WINDOWS_H
#define QUOREL_NATIVE_WINAPI_FAKE_WINDOWS_H

#include <cstdint>
#include <functional>

#include "settings/settings.h"

namespace fake_windows {

// The variable the default version is read from.
inline constexpr auto& kVersionVariable = quorel::settings::kSimWinver;

// What GetVersionExW reports; with fails set it returns FALSE and fills nothing.
// A default registry loaded for the previous version is chosen again at the
// next registry call (see fake_registry.h).
void SetVersion(uint32_t major, uint32_t minor, bool fails = false);

// What QueryPerformanceFrequency reports (the full 64-bit value).
void SetCounterFrequency(int64_t hz);

// Replaces the counter: each QueryPerformanceCounter call returns source().
// An empty function restores the clock-driven counter.
void SetCounterSource(std::function<int64_t()> source);

// Number of QueryPerformanceCounter calls since the last reset.
uint64_t CounterReads();

// Back to the defaults above (the version read from the environment again),
// counts cleared; the registry back to its lazily loaded default too
// (fake_registry::Reset).
void Reset();

}  // namespace fake_windows

#endif  // QUOREL_NATIVE_WINAPI_FAKE_WINDOWS_H
