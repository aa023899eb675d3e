// When a modelled card's events are due: the periodic ones from the start
// or the last reset, the after-write ones from when they were armed. In
// the order they come due; at one time, in the file's order.
#ifndef QUOREL_CARD_MODEL_EVENT_QUEUE_H
#define QUOREL_CARD_MODEL_EVENT_QUEUE_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "card_model.h"

namespace quorel::card_model {

class EventQueue {
public:
    EventQueue(const CardModel& model, uint64_t now_us) : model_(model) { Restart(now_us); }

    // Periodic events counted from now_us, after-write ones disarmed.
    void Restart(uint64_t now_us);
    // Arms an after-write event to fire its delay after now_us, again
    // from now_us if it was armed already; returns when it is due.
    uint64_t Arm(size_t event, uint64_t now_us);

    struct Due {
        size_t event;
        uint64_t at;
    };
    // The first event due by now_us, taken from the queue (a periodic one
    // comes due again a period later); nothing when none is.
    std::optional<Due> Next(uint64_t now_us);
    // Drops an event's times up to now_us: a periodic event next comes
    // due after it, an after-write one is disarmed.
    void DropUntil(size_t event, uint64_t now_us);

private:
    void Schedule(size_t event, uint64_t at);
    void Unschedule(size_t event);

    const CardModel& model_;
    std::vector<std::optional<uint64_t>> due_;
    std::set<std::pair<uint64_t, size_t>> queue_;  // (due, event)
};

}  // namespace quorel::card_model

#endif  // QUOREL_CARD_MODEL_EVENT_QUEUE_H
