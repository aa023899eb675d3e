// The lock between processes, over a word of memory two processes share:
// they lose no count made under it, and a holder that ended without letting
// it go is found out and the lock taken from it.
#include <sched.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <new>

#include "cross_process_lock.h"

namespace {

using quorel::sim::shared::CrossProcessLock;

struct Words {
    uint32_t lock;
    volatile uint32_t count;
};

Words* MapShared() {
    void* memory = mmap(nullptr, sizeof(Words), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    return memory == MAP_FAILED ? nullptr : new (memory) Words{0, 0};
}

TEST(CrossProcessLock, TwoProcessesCountingLoseNothing) {
    constexpr uint32_t kCounts = 5000;
    Words* words = MapShared();
    ASSERT_NE(words, nullptr);
    CrossProcessLock lock(&words->lock);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    for (uint32_t i = 0; i < kCounts; ++i) {
        lock.Lock();
        const uint32_t count = words->count;
        sched_yield();  // the other process, were it not locked out, would count now
        words->count = count + 1;
        lock.Unlock();
    }
    if (child == 0)
        _exit(0);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(words->count, 2 * kCounts);
}

TEST(CrossProcessLock, TakenFromAHolderThatEnded) {
    Words* words = MapShared();
    ASSERT_NE(words, nullptr);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        CrossProcessLock(&words->lock).Lock();
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_EQ(words->lock, static_cast<uint32_t>(child));
    CrossProcessLock(&words->lock).Lock();
    EXPECT_EQ(words->lock, static_cast<uint32_t>(getpid()));
}

}  // namespace
