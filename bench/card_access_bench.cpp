// Cost of a register access through the exports on a type-1 card (never
// paced) against the least a byte store behind a call can cost.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

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

// Keeps each benchmark's best CPU time per iteration, over its repetitions,
// for the ratios printed last. CPU time, since on a loaded machine the wall
// clock also counts the time other processes had the core.
class RecordingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration)
                continue;
            auto [it, first] = nanos_.emplace(run.run_name.function_name, run.GetAdjustedCPUTime());
            if (!first && run.GetAdjustedCPUTime() < it->second)
                it->second = run.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void PrintRatio(const char* name) const {
        auto it = nanos_.find(name), base = nanos_.find("BM_BaselineStore");
        if (it != nanos_.end() && base != nanos_.end() && base->second > 0)
            std::printf("%s: %.2f times the baseline store (best of each: %.2f ns against %.2f ns)\n",
                        name, it->second / base->second, it->second, base->second);
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
    // Repeated, the three taking turns at random, so that a change in the
    // machine's load hits them alike; flags given on the command line win.
    std::vector<char*> args(argv, argv + argc);
    char repetitions[] = "--benchmark_repetitions=10";
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, {repetitions, interleave});
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio("BM_QuorelOut");
    reporter.PrintRatio("BM_QuorelIn");
    Quorel_close();
    return 0;
}
