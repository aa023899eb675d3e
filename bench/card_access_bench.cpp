// Cost of a register access through the exports on a type-1 card (never
// paced) against the least a byte store behind a call can cost.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>

#include "baseline_store.h"
#include "bench_machine.h"
#include "quorel.h"

namespace {

void BM_BaselineStore(benchmark::State& state) {
    volatile unsigned char byte = 0;
    unsigned char value = 0;
    for (auto _ : state)
        baseline_store(&byte, value++);
}
BENCHMARK(BM_BaselineStore);

void BM_QuorelOut(benchmark::State& state) {
    int value = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(Quorel_out(kBenchRegister, value++));
}
BENCHMARK(BM_QuorelOut);

void BM_QuorelIn(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(Quorel_in(kBenchRegister));
}
BENCHMARK(BM_QuorelIn);

// Keeps each benchmark's time per iteration for the ratios printed last.
class RecordingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration)
                nanos_[run.run_name.function_name] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    void PrintRatio(const char* name) const {
        auto it = nanos_.find(name), base = nanos_.find("BM_BaselineStore");
        if (it != nanos_.end() && base != nanos_.end() && base->second > 0)
            std::printf("%s: %.1f times the baseline store\n", name, it->second / base->second);
    }

private:
    std::map<std::string, double> nanos_;
};

}  // namespace

int main(int argc, char** argv) {
    if (Quorel_open(kBenchType1Position) != 0) {
        std::fprintf(stderr, "no type-1 card at position %d\n", kBenchType1Position);
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio("BM_QuorelOut");
    reporter.PrintRatio("BM_QuorelIn");
    Quorel_close();
    return 0;
}
