// What the trap keeps for the whole process: the watched ranges, the one
// lock, the instruction being single-stepped, the mode and the counts.
#ifndef QUOREL_SIM_TRAP_TRAP_STATE_H
#define QUOREL_SIM_TRAP_TRAP_STATE_H

#include <atomic>
#include <cstdint>
#include <vector>

#include "trap.h"

namespace quorel::sim::trap::detail {

// A lock an exception handler can take: the thread that faults never
// holds it already, except inside an instruction it is single-stepping,
// which HeldByMe tells.
class SpinLock {
public:
    void Lock();
    void Unlock() { owner_.store(0, std::memory_order_release); }
    bool HeldByMe() const;

private:
    std::atomic<uintptr_t> owner_{0};
};

struct Range {
    uintptr_t base = 0;
    size_t size = 0;
    Watcher* watcher = nullptr;
};

// A watched byte opened for the instruction being single-stepped: the
// faulting one, and any other watched page it touches.
struct OpenByte {
    uint8_t* address = nullptr;
    Watcher* watcher = nullptr;
    uint32_t offset = 0;
    uint8_t put = 0;  // what was put there for the instruction
    bool write = false;
};

struct State {
    SpinLock lock;
    // Under the lock:
    std::vector<Range> ranges;  // sorted by base, disjoint
    Counts counts;
    static constexpr int kMaxOpen = 4;  // a string move whose two operands straddle pages
    OpenByte open[kMaxOpen];
    int open_count = 0;
    // Read without the lock.
    std::atomic<Mode> mode{Mode::kEmulate};
    std::atomic<bool> installed{false};
};

// Made at the first use, never destroyed: a fault may come during exit.
State& TheState();
// The watched range holding `address`, or null; under the lock.
const Range* FindRange(const State& state, uintptr_t address);

}  // namespace quorel::sim::trap::detail

#endif  // QUOREL_SIM_TRAP_TRAP_STATE_H
