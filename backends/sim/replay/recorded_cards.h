// What a trace recorded of each card: the register accesses the library
// made for the calls of the trace, card by card, found as the library finds
// them. Each call is followed through the library's own rules: which card
// the single-card functions address after Quorel_open, Quorel_open2,
// Quorel_in2 and Quorel_out2, which calls make no access (a result of 1 or
// 2, index 255, no card open), which byte each access moves.
#ifndef QUOREL_SIM_REPLAY_RECORDED_CARDS_H
#define QUOREL_SIM_REPLAY_RECORDED_CARDS_H

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "trace_reader.h"

namespace quorel::sim::replay {

// The card's register window as the library reaches it: register n at
// n * 4, the control/status register at 1020, the board-ID register 6.
constexpr uint32_t kRegisterStride = 4;
constexpr uint32_t kStatusOffset = 1020;
constexpr uint32_t kBoardIdOffset = 24;

// One load or store of a byte of a card's window.
struct Access {
    uint32_t offset = 0;
    uint8_t value = 0;
    uint32_t line = 0;      // in the trace
    uint64_t sequence = 0;  // the #N of the call
    std::string call;       // "Quorel_out(5, 0x1AB)"
};

struct RecordedCard {
    std::string location;            // "01:00.0"
    std::vector<std::string> opens;  // how: "Quorel_open(0) at line 2 (#1)"
    std::map<uint32_t, std::vector<Access>> reads;  // by offset, each in order
    std::vector<Access> writes;                     // in order
    std::set<uint64_t> threads;                     // that made its accesses
};

// A line of the trace the replay cannot use, and why.
struct Unused {
    uint32_t line = 0;
    std::string why;
};

struct Recording {
    std::vector<RecordedCard> cards;  // in the order the trace first found them
    std::vector<Unused> unused;
    std::set<uint64_t> threads;       // that made calls
};

Recording Record(const Trace& trace);

// "register 5", "the control/status register" (1020), "window offset 0x15".
std::string OffsetName(uint32_t offset);

}  // namespace quorel::sim::replay

#endif  // QUOREL_SIM_REPLAY_RECORDED_CARDS_H
