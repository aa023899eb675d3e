// How long the pause after a paced access really lasts, for a few requests:
// each is run many times and the spread of the actual pause is printed.
// Natively the performance counter is the test double's 10 MHz counter over
// the monotonic clock.
#include <chrono>
#include <cstdio>
#include <vector>

#include "api/pacing.h"
#include "pause_stats.h"

namespace {

constexpr double kRequests[] = {1.0, 10.0, 50.5};
constexpr size_t kSamples = 5000;

double MeasureMicros(double request) {
    const auto start = std::chrono::steady_clock::now();
    quorel::DelayMicroseconds(request);
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
        .count();
}

}  // namespace

int main() {
    quorel::SetCounterScale();
    print_pause_header();
    for (double request : kRequests) {
        std::vector<double> measured(kSamples);
        for (double& m : measured)
            m = MeasureMicros(request);
        print_pause_stats(request, measured.data(), measured.size());
    }
    return 0;
}
