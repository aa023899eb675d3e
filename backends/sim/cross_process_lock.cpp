#include "cross_process_lock.h"

#include "shared_platform.h"

namespace quorel::sim::shared {

namespace {

constexpr unsigned kSpinsBetweenLooks = 256;  // at the clock, while waiting

}  // namespace

void CrossProcessLock::Lock() {
    const uint32_t me = ThisProcess();
    uint64_t since = 0;
    for (unsigned spins = 1;; ++spins) {
        uint32_t holder = 0;
        if (__atomic_compare_exchange_n(word_, &holder, me, true, __ATOMIC_ACQUIRE, __ATOMIC_RELAXED))
            return;
        if (holder != 0 && spins % kSpinsBetweenLooks == 0) {
            const uint64_t now = MonotonicUs();
            if (!since) {
                since = now;
            } else if (now - since >= kPatienceUs) {
                if (TakeFromEnded(holder, me))
                    return;
                since = now;
            }
        }
        Pause();
    }
}

bool CrossProcessLock::TakeFromEnded(uint32_t holder, uint32_t me) {
    return holder != me && ProcessEnded(holder) &&
           __atomic_compare_exchange_n(word_, &holder, me, false, __ATOMIC_ACQUIRE, __ATOMIC_RELAXED);
}

}  // namespace quorel::sim::shared
