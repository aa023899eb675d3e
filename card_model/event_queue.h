// When a modelled card's events are due: the periodic ones from the start
// or the last reset, the after-write ones from when they were armed. In
// the order they come due; at one time, in the file's order. The times are
// kept in a CardStateData, one per event.
#ifndef QUOREL_CARD_MODEL_EVENT_QUEUE_H
#define QUOREL_CARD_MODEL_EVENT_QUEUE_H

#include <cstddef>
#include <cstdint>
#include <optional>

#include "card_model.h"
#include "card_state_data.h"

namespace quorel::card_model {

class EventQueue {
public:
    // Over the times held in data, started before (Restart) or now.
    EventQueue(const CardModel& model, CardStateData& data) : model_(model), data_(data) {}

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

    // The model's events that have a time here: all of them, as the
    // reader allows no more than kMaxEvents.
    size_t count() const { return model_.events.size() < kMaxEvents ? model_.events.size() : kMaxEvents; }

private:

    const CardModel& model_;
    CardStateData& data_;
};

}  // namespace quorel::card_model

#endif  // QUOREL_CARD_MODEL_EVENT_QUEUE_H
