// Cost of an open after the first: no rescan, one registry annotation over
// every function, the card search and the mapping. Measured for machines of
// 10, 50 and 200 PCI functions, each with its own hardware-ID key and
// instance in the registry (Windows 6 style), against the same registry
// calls made in a plain loop with none of the lookup's work around them.
//
// Discovery runs once per process, so each machine size runs in a child
// process of its own (this program, given --functions N). Natively the
// registry is the in-process one (QUOREL_SIM_REGISTRY); under Wine the
// parent imports it into Wine's registry with regedit and removes it after.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "annotation_machine.h"
#include "quorel.h"

namespace {

namespace fs = std::filesystem;

constexpr int kSizes[] = {10, 50, 200};
constexpr int kCallsPerSize = 2000;  // opens times functions, per round
constexpr int kRounds = 7;

double Micros() {
    using namespace std::chrono;
    return duration<double, std::micro>(steady_clock::now().time_since_epoch()).count();
}

// One round of `times` calls of `run`, in microseconds per call.
template <typename Run>
double RoundMicros(int times, Run run) {
    const double start = Micros();
    for (int i = 0; i < times; ++i)
        run();
    return (Micros() - start) / times;
}

void KeepBest(double& best, int round, double took) { best = round == 0 || took < best ? took : best; }
int Child(int functions) {
    if (Quorel_open(0) != 0) {  // the first open: discovery
        std::fprintf(stderr, "annotation_bench: no card on the generated machine\n");
        return 1;
    }
    const bench::Shape shape{functions};
    bench::RegistryWalk walk = bench::WalkInstanceKeys(shape);  // also warms the registry
    const int times = kCallsPerSize / functions;
    // Best of kRounds each, taking turns so that a change in the machine's
    // load hits both alike.
    double open = 0, loop = 0;
    for (int round = 0; round < kRounds; ++round) {
        KeepBest(open, round, RoundMicros(times, [] { Quorel_open(0); }));
        KeepBest(loop, round, RoundMicros(times, [&] { walk = bench::WalkInstanceKeys(shape); }));
    }
    Quorel_close();
    std::printf("| %d | %d | %lu | %.1f µs | %.1f µs | %.2f× |\n", functions, functions,
                walk.calls, open, loop, open / loop);
    return walk.failures == 0 ? 0 : 1;
}

int Parent(const char* self) {
    const fs::path dir = fs::temp_directory_path() / ("annotation_bench." + std::to_string(std::rand()));
    fs::create_directories(dir);
    std::printf("| functions | instance keys | registry calls per open | open after the first | "
                "the same registry calls in a loop | ratio |\n|---|---|---|---|---|---|\n");
    std::fflush(stdout);
    int status = 0;
    for (int functions : kSizes) {
        const bench::MachineFiles files = bench::WriteMachineFiles(dir.string(), bench::Shape{functions});
        status |= bench::RunChild(self, functions, files);
    }
    fs::remove_all(dir);
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--functions") == 0)
        return Child(std::atoi(argv[2]));
    return Parent(argv[0]);
}
