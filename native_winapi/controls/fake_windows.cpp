#include "native_winapi/controls/fake_windows.h"

#include <utility>

#include "native_winapi/controls/fake_registry.h"
#include "native_winapi/registry_state.h"
#include "native_winapi/windows_state.h"

namespace {

using native_winapi::Windows;

struct Counter {
    std::function<int64_t()> source;
    uint64_t reads = 0;
};

Counter& counter() {
    static Counter c;
    return c;
}

// Every read is counted; a source set by a test replaces the clock.
int64_t CountedRead(int64_t frequency) {
    ++counter().reads;
    return counter().source ? counter().source() : native_winapi::ClockTicks(frequency);
}

void Restart() {
    Windows() = native_winapi::InitialWindows();
    Windows().counter = CountedRead;
}

// Linked into a program only with these controls; from then on its counter
// reads are counted.
[[maybe_unused]] const bool kInstalled = (Windows().counter = CountedRead, true);

}  // namespace

namespace fake_windows {

void SetVersion(uint32_t major, uint32_t minor, bool fails) {
    Windows().major = major;
    Windows().minor = minor;
    Windows().version_fails = fails;
    native_winapi::registry::VersionChanged();
}

void SetCounterFrequency(int64_t hz) { Windows().frequency = hz; }

void SetCounterSource(std::function<int64_t()> source) { counter().source = std::move(source); }

uint64_t CounterReads() { return counter().reads; }

void Reset() {
    Restart();
    counter() = Counter{};
    fake_registry::Reset();
}

}  // namespace fake_windows
