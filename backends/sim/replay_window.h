// The register page of a card a trace recorded (docs/replay.md): kept
// inaccessible (trap/) as a modelled card's is, each read of a register
// the recording read answered with what the real card returned there, in
// the recorded order, and each write compared with the recorded writes in
// order. The first write that differs, on any card of the load, is said
// once on stderr and in the call log; the run goes on. A card that also
// follows a model gets every access through it as well, and its answers
// once a register's recorded reads are used up; without a model the last
// recorded read repeats, and the rest of the page is plain memory.
#ifndef QUOREL_SIM_REPLAY_WINDOW_H
#define QUOREL_SIM_REPLAY_WINDOW_H

#include <cstdint>
#include <memory>
#include <string>

#include "machine.h"
#include "replay/recorded_cards.h"

namespace quorel::sim {

// Shared by the replayed cards of one load.
struct ReplayReport {
    bool differed = false;  // a difference has been said
};

struct ReplayedCard {
    replay::RecordedCard card;
    std::string trace;  // the trace file, as messages name it
    std::shared_ptr<ReplayReport> report;
};

// The window of a function with a replay: whole pages, the first one
// watched, holding the function's initial window bytes. Null with why when
// the pages cannot be had or watched. log_target: the call log's, or empty.
uint8_t* MapReplayedWindow(const Function& function, const std::string& location,
                           const std::string& log_target, std::string* why);

}  // namespace quorel::sim

#endif  // QUOREL_SIM_REPLAY_WINDOW_H
