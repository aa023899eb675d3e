#include "api/pacing.h"

#include <cmath>
#include <cstdint>

#include "platform/windows_api.h"
#include "quorel.h"

namespace quorel {

double MicrosPerTick = 0.0;
double Wr2WrDelay = kDefaultWriteDelayMicros;

namespace {

constexpr double kMicrosPerSecond = 1000000.0;

int64_t ReadCounter() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

// Signed tick difference, wrap-safe: the subtraction is done unsigned.
int64_t TicksBetween(int64_t start, int64_t now) {
    return static_cast<int64_t>(static_cast<uint64_t>(now) - static_cast<uint64_t>(start));
}

}  // namespace

void SetCounterScale() {
    LARGE_INTEGER frequency;
    frequency.QuadPart = 0;
    QueryPerformanceFrequency(&frequency);
    // A counter without a frequency cannot time anything: an infinite scale
    // makes every pause end after a single reading instead of spinning forever.
    MicrosPerTick = frequency.QuadPart > 0
                        ? kMicrosPerSecond / static_cast<double>(frequency.QuadPart)
                        : HUGE_VAL;
}

void DelayMicroseconds(double micros) {
    if (micros == 0.0)
        return;
    const int64_t start = ReadCounter();
    double elapsed;
    do {
        // ticks * inf gives NaN for 0 ticks; NaN compares false and ends the wait.
        elapsed = static_cast<double>(TicksBetween(start, ReadCounter())) * MicrosPerTick;
    } while (micros > elapsed);
}

QUOREL_WAIT_ABI int WaitAfterRead(int result) {
    DelayMicroseconds(kReadDelayMicros);
    return result;
}

QUOREL_WAIT_ABI int WaitAfterWrite(int result) {
    DelayMicroseconds(Wr2WrDelay);
    return result;
}

}  // namespace quorel

extern "C" int QUOREL_CALL Quorel_setwr2wrdly(double delay) {
    quorel::Wr2WrDelay = delay;
    return QUOREL_SUCCESS;
}
