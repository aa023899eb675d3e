// How long a paced write really takes, for a few pause settings: Quorel_out
// on the type-2 card, run many times, timed with the monotonic clock, and
// the spread printed. Natively the performance counter the pause spins on
// is the test double's 10 MHz counter over the same clock.
#include <chrono>
#include <cstdio>
#include <vector>

#include "bench_machine.h"
#include "pause_stats.h"
#include "quorel.h"

namespace {

constexpr double kRequests[] = {1.0, 10.0, 50.5};
constexpr size_t kSamples = 5000;

double MeasureMicros(int value) {
    const auto start = std::chrono::steady_clock::now();
    Quorel_out(kBenchRegister, value);
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
        .count();
}

}  // namespace

int main() {
    if (Quorel_open(kBenchType2Position) != 0) {
        std::fprintf(stderr, "no type-2 card at position %d\n", kBenchType2Position);
        return 1;
    }
    print_pause_header();
    for (double request : kRequests) {
        Quorel_setwr2wrdly(request);
        std::vector<double> measured(kSamples);
        for (size_t i = 0; i < kSamples; ++i)
            measured[i] = MeasureMicros(static_cast<int>(i));
        print_pause_stats(request, measured.data(), measured.size());
    }
    Quorel_close();
    return 0;
}
