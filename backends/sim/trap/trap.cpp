#include "trap.h"

#include <algorithm>
#include <cstdio>
#include <mutex>

#include "trap_platform.h"
#include "trap_state.h"

namespace quorel::sim::trap {

namespace detail {

void SpinLock::Lock() {
    const uintptr_t me = ThisThread();
    for (uintptr_t free = 0; !owner_.compare_exchange_weak(free, me, std::memory_order_acquire); free = 0)
        Relax();  // the holder may be between a fault and its step: a round trip through the kernel
}

bool SpinLock::HeldByMe() const { return owner_.load(std::memory_order_relaxed) == ThisThread(); }

State& TheState() {
    static State* const state = new State;
    return *state;
}

const Range* FindRange(const State& state, uintptr_t address) {
    auto after = std::upper_bound(state.ranges.begin(), state.ranges.end(), address,
                                  [](uintptr_t at, const Range& range) { return at < range.base; });
    if (after == state.ranges.begin())
        return nullptr;
    const Range& range = *(after - 1);
    return address - range.base < range.size ? &range : nullptr;
}

}  // namespace detail

namespace {

using detail::Range;
using detail::State;

std::string Hex(uintptr_t value) {
    char text[2 + 2 * sizeof(value) + 1];
    std::snprintf(text, sizeof(text), "0x%llx", static_cast<unsigned long long>(value));
    return text;
}

bool Refuse(std::string* why, const std::string& text) {
    *why = text;
    return false;
}

bool CheckRange(const uint8_t* base, size_t size, const Watcher* watcher, std::string* why) {
    const uintptr_t at = reinterpret_cast<uintptr_t>(base), page = PageSize();
    if (!watcher)
        return Refuse(why, "no watcher given for the pages at " + Hex(at));
    if (!base || at % page != 0)
        return Refuse(why, "watched pages must start on a page boundary, not at " + Hex(at));
    if (size == 0 || size % page != 0)
        return Refuse(why, "watched pages at " + Hex(at) + " must be whole pages of " +
                               std::to_string(page) + " bytes, not " + std::to_string(size));
    return true;
}

// Adds the range to the table, unless it overlaps one there.
bool Insert(State& state, const Range& range, std::string* why) {
    state.lock.Lock();
    auto at = std::lower_bound(state.ranges.begin(), state.ranges.end(), range.base,
                               [](const Range& in, uintptr_t base) { return in.base < base; });
    const bool overlaps = (at != state.ranges.end() && at->base - range.base < range.size) ||
                          (at != state.ranges.begin() && range.base - (at - 1)->base < (at - 1)->size);
    if (!overlaps)
        state.ranges.insert(at, range);
    state.lock.Unlock();
    return overlaps ? Refuse(why, "the pages at " + Hex(range.base) + " are watched already") : true;
}

void Remove(State& state, uintptr_t base) {
    state.lock.Lock();
    state.ranges.erase(std::find_if(state.ranges.begin(), state.ranges.end(),
                                    [base](const Range& range) { return range.base == base; }));
    state.lock.Unlock();
}

bool InstallOnce(State& state, std::string* why) {
    if (state.installed.load())
        return true;
    if (!detail::InstallHandlers(why))
        return false;
    state.installed.store(true);
    return true;
}

}  // namespace

bool Watch(uint8_t* base, size_t size, Watcher* watcher, std::string* why) {
    static std::mutex watching;  // one Watch at a time: installation, then the table
    std::lock_guard<std::mutex> hold(watching);
    State& state = detail::TheState();
    const Range range{reinterpret_cast<uintptr_t>(base), size, watcher};
    if (!CheckRange(base, size, watcher, why) || !InstallOnce(state, why) || !Insert(state, range, why))
        return false;
    if (detail::Protect(base, size, false))
        return true;
    Remove(state, range.base);
    return Refuse(why, "cannot make the pages at " + Hex(range.base) + " inaccessible: " + detail::LastError());
}

void SetMode(Mode mode) { detail::TheState().mode.store(mode); }

Counts Seen() {
    State& state = detail::TheState();
    state.lock.Lock();
    Counts counts = state.counts;
    state.lock.Unlock();
    return counts;
}

}  // namespace quorel::sim::trap
