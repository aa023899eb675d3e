// Opens and closes, one card at a time and all four at once, over and over
// in one process, with register traffic in between, checking every result;
// and the process's peak memory, which must not grow after the first open
// (every open repeats the registry annotation, which must give back all it
// takes). The machine: four cards (board IDs 0..3, the last a type-2 card)
// among 200 functions, each with its instance in the registry.
//
//   soak [--rounds N]    N rounds of one single-card and one multi-card use
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "annotation_machine.h"
#include "quorel.h"
#include "settings/settings.h"

namespace {

namespace fs = std::filesystem;

constexpr int kDefaultRounds = 200000;
constexpr int kCards = 4;  // one per board ID
constexpr bench::Shape kShape{200, kCards};
constexpr int kFirstRegister = 8;  // clear of the board-ID register (6)
constexpr int kRegisters = 240;
constexpr int kCsrReset = 0xC0, kCsrAck = 0x03;  // what the status register then reads
constexpr int kNothing = 1;
// Peak growth allowed after the first open: below a page table's worth of
// noise, far below what a leak of a few bytes per open reaches in 1,000 rounds.
constexpr long kAllowedGrowthKiB = 64;

struct Failure {
    int round;
    const char* what;
    int got, want;
};

// Throws the first mismatch: the soak stops there.
void Expect(int round, const char* what, int got, int want) {
    if (got != want)
        throw Failure{round, what, got, want};
}

long PeakKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;  // KiB on Linux
}

// Position round % 4 (= its board ID), one register written and read back,
// the control/status register, then closed.
void SingleCardUse(int round) {
    const int reg = kFirstRegister + round % kRegisters, value = round & 0xFF;
    Expect(round, "Quorel_open", Quorel_open(round % kCards), 0);
    Expect(round, "Quorel_out", Quorel_out(reg, value), 0);
    Expect(round, "Quorel_in", Quorel_in(reg), value);
    Expect(round, "Quorel_in(255)", Quorel_in(255), kNothing);
    Expect(round, "Quorel_srst", Quorel_srst(), 0);
    Expect(round, "Quorel_sts after reset", Quorel_sts(), kCsrReset);
    Expect(round, "Quorel_ackint", Quorel_ackint(), 0);
    Expect(round, "Quorel_sts after ack", Quorel_sts(), kCsrAck);
    Expect(round, "Quorel_close", Quorel_close(), 0);
    Expect(round, "Quorel_in when closed", Quorel_in(reg), kNothing);
}

// All four boards: a different value into each one's register, each read
// back from its own window, then the table emptied.
void MultiCardUse(int round) {
    const int reg = kFirstRegister + round % kRegisters;
    int ids[kCards];
    Expect(round, "Quorel_open2", Quorel_open2(), 0);
    Expect(round, "Quorel_getvalidid2", Quorel_getvalidid2(ids), 0);
    for (int board = 0; board < kCards; ++board) {
        Expect(round, "board present", ids[board], 1);
        Expect(round, "Quorel_out2", Quorel_out2(board, reg, round + board), 0);
    }
    for (int board = 0; board < kCards; ++board)
        Expect(round, "Quorel_in2", Quorel_in2(board, reg), (round + board) & 0xFF);
    Expect(round, "Quorel_in2 of board 4", Quorel_in2(kCards, reg), kNothing);
    Expect(round, "Quorel_close2", Quorel_close2(), 0);
    Expect(round, "Quorel_getvalidid2 after close", Quorel_getvalidid2(ids), 0);
    for (int board = 0; board < kCards; ++board)
        Expect(round, "board gone", ids[board], 0);
}

// Returns the peak after the first open; throws the first wrong result.
long Soak(int rounds) {
    Expect(0, "first Quorel_open", Quorel_open(0), 0);
    const long first = PeakKiB();
    for (int round = 0; round < rounds; ++round) {
        SingleCardUse(round);
        MultiCardUse(round);
    }
    return first;
}

int Run(int rounds) {
    const auto start = std::chrono::steady_clock::now();
    long first;
    try {
        first = Soak(rounds);
    } catch (const Failure& f) {
        std::fprintf(stderr, "soak: round %d: %s gave %d, expected %d\n", f.round, f.what, f.got, f.want);
        return 1;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const long last = PeakKiB();
    std::printf("soak: %d rounds (%d opens, %d multi-card opens) in %.1f s, every result as expected\n",
                rounds, rounds + 1, rounds, seconds);
    std::printf("soak: peak memory %ld KiB after the first open, %ld KiB at the end (%+ld KiB)\n", first,
                last, last - first);
    if (last - first > kAllowedGrowthKiB) {
        std::fprintf(stderr, "soak: the peak grew by more than %ld KiB\n", kAllowedGrowthKiB);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = kDefaultRounds;
    if (argc == 3 && std::strcmp(argv[1], "--rounds") == 0)
        rounds = std::atoi(argv[2]);
    else if (argc != 1) {
        std::fprintf(stderr, "usage: soak [--rounds N]\n");
        return 2;
    }
    const fs::path folder = fs::temp_directory_path() / ("quorel-soak." + std::to_string(getpid()));
    fs::create_directories(folder);
    bench::UseMachineFiles(bench::WriteMachineFiles(folder.string(), kShape));
    unsetenv(quorel::settings::kSimLog);  // a call log would grow with every round
    const int status = Run(rounds);
    fs::remove_all(folder);
    return status;
}
