// Cost of a byte load and a byte store on a watched page: ours (the fault
// answered by performing the decoded access and stepping over the
// instruction) beside the naive way (the page opened, the instruction
// single-stepped, the page closed again: Mode::kSingleStep), in one process,
// on one card's register page that follows a card model, as the stand-in
// maps it: each access goes through the model as an application's does.
// Every access is timed on its own; the two ways take turns, round by
// round, and the medians are printed in µs per access with their ratio.
//
//   watched_access_bench [ACCESSES]   (loads and stores per way and round; default 2000)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "card_model/card_model.h"
#include "machine.h"
#include "model_window.h"
#include "trap.h"

namespace {

using namespace quorel::sim::trap;

constexpr int kRounds = 10;
constexpr int kDefaultAccesses = 2000;
constexpr int kRegisters = 255;  // every fourth byte of the page, as a card's window
constexpr uint64_t kWindow = 0x400;
#ifdef _WIN32
constexpr double kTarget = 0.5;
#else
constexpr double kTarget = 0.25;
#endif

// A card with named registers and fields, a status register, an interrupt
// and a periodic event, as a user's model has them; the other registers
// are plain bytes, as the model leaves them.
constexpr char kModel[] = R"(name = "bench card"
[[register]]
name = "CTRL"
index = 0
  [[register.field]]
  name = "START"
  bits = "0"
  [[register.field]]
  name = "MODE"
  bits = "3:1"
[[register]]
name = "EVENTS"
index = 1
write = "oneToClear"
[[register]]
name = "ID"
index = 2
access = "read-only"
reset = 0x5A
[csr]
  [[csr.field]]
  name = "PENDING"
  bits = "0"
  [[csr.field]]
  name = "IE"
  bits = "2"
[interrupt]
pending = "csr.PENDING"
enable = "csr.IE"
[[event]]
every_us = 10000
actions = ["set csr.PENDING", "write EVENTS 0x01"]
[[event]]
after_write = "CTRL.START"
delay_us = 200
actions = ["clear CTRL.START"]
)";

// The card's register page, watched and following kModel; null with why.
uint8_t* ModelledPage(std::string* why) {
    using namespace quorel;
    std::vector<card_model::Problem> problems;
    sim::Function card;
    card.window_size = kWindow;
    card.model = card_model::ParseCardModel(kModel, "bench.toml", nullptr, &problems);
    if (!card.model) {
        *why = problems.empty() ? "the model does not load" : problems.front().Text();
        return nullptr;
    }
    return sim::MapModelledWindow(card, "bench", "", why);
}

struct Timings {
    std::vector<double> loads, stores;  // µs each
};

double Micros() {
    using namespace std::chrono;
    return duration<double, std::micro>(steady_clock::now().time_since_epoch()).count();
}

void Round(volatile uint8_t* page, int accesses, Timings* timings) {
    for (int i = 0; i < accesses; ++i) {
        volatile uint8_t* reg = page + i % kRegisters * 4;
        const double start = Micros();
        const uint8_t value = *reg;
        const double loaded = Micros();
        *reg = static_cast<uint8_t>(value + 1);
        const double stored = Micros();
        timings->loads.push_back(loaded - start);
        timings->stores.push_back(stored - loaded);
    }
}

double Median(std::vector<double> values) {
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

int Accesses(int argc, char** argv) {
    if (argc == 1)
        return kDefaultAccesses;
    char* end = nullptr;
    const long accesses = argc == 2 ? std::strtol(argv[1], &end, 10) : 0;
    if (end && *end == '\0' && accesses > 0 && accesses <= 1000000)
        return static_cast<int>(accesses);
    std::fprintf(stderr, "usage: watched_access_bench [ACCESSES]: loads and stores per way and round, 1 to 1000000\n");
    return 0;
}

void Report(const Timings& naive, const Timings& ours) {
    const double naive_load = Median(naive.loads), naive_store = Median(naive.stores);
    const double load = Median(ours.loads), store = Median(ours.stores);
    std::printf("%-34s load %7.2f µs   store %7.2f µs\n", "single step (open, step, close):", naive_load,
                naive_store);
    std::printf("%-34s load %7.2f µs   store %7.2f µs\n", "ours (decoded, stepped over):", load, store);
    std::printf("%-34s load %7.2f      store %7.2f      (target: at most %.2f)\n", "ratio:", load / naive_load,
                store / naive_store, kTarget);
}

}  // namespace

int main(int argc, char** argv) {
    const int accesses = Accesses(argc, argv);
    std::string why;
    uint8_t* page = accesses ? ModelledPage(&why) : nullptr;
    if (!page) {
        if (accesses)
            std::fprintf(stderr, "watched_access_bench: %s\n", why.c_str());
        return accesses ? 1 : 2;
    }
    Timings naive, ours;
    for (int round = 0; round < kRounds; ++round) {  // the two ways take turns
        SetMode(Mode::kSingleStep);
        Round(page, accesses, &naive);
        SetMode(Mode::kEmulate);
        Round(page, accesses, &ours);
    }
    const Counts seen = Seen();
    const uint64_t each = 2ull * kRounds * accesses;
    std::printf("%d loads and %d stores each way, one card's registers following a model\n",
                kRounds * accesses, kRounds * accesses);
    Report(naive, ours);
    if (seen.emulated == each && seen.stepped == each)
        return 0;
    std::fprintf(stderr, "watched_access_bench: %llu accesses emulated and %llu stepped, expected %llu each\n",
                 static_cast<unsigned long long>(seen.emulated), static_cast<unsigned long long>(seen.stepped),
                 static_cast<unsigned long long>(each));
    return 1;
}
