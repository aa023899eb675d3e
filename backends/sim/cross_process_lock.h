// A lock between processes: a 32-bit word of shared memory that holds the
// process ID of its holder, 0 when free. Held for one access of a shared
// card at a time; its threads are serialised by the process already (the
// trap's lock), but two threads of one process may wait for it alike.
// A holder that ended without letting it go (killed in the middle of an
// access) is noticed after kPatienceUs of waiting, by its process ID, and
// the lock taken from it: the access it was making may be half done.
#ifndef QUOREL_SIM_CROSS_PROCESS_LOCK_H
#define QUOREL_SIM_CROSS_PROCESS_LOCK_H

#include <cstdint>

namespace quorel::sim::shared {

class CrossProcessLock {
public:
    static constexpr uint64_t kPatienceUs = 100'000;

    // word: in memory every process maps, 4-byte aligned.
    explicit CrossProcessLock(uint32_t* word) : word_(word) {}
    void Lock();
    void Unlock() { __atomic_store_n(word_, 0u, __ATOMIC_RELEASE); }

private:
    // Takes the lock from `holder` when it has ended.
    bool TakeFromEnded(uint32_t holder, uint32_t me);

    uint32_t* word_;
};

// Holds the lock, when there is one, for as long as it lives.
class HeldLock {
public:
    explicit HeldLock(CrossProcessLock* lock) : lock_(lock) {
        if (lock_)
            lock_->Lock();
    }
    ~HeldLock() {
        if (lock_)
            lock_->Unlock();
    }
    HeldLock(const HeldLock&) = delete;
    HeldLock& operator=(const HeldLock&) = delete;

private:
    CrossProcessLock* lock_;
};

}  // namespace quorel::sim::shared

#endif  // QUOREL_SIM_CROSS_PROCESS_LOCK_H
