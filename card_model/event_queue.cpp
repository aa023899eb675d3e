#include "event_queue.h"

namespace quorel::card_model {

namespace {

// A time that never comes is kNotDue, as an event not armed.
uint64_t Later(uint64_t at, uint64_t delay) { return delay > kNotDue - at ? kNotDue : at + delay; }

}  // namespace

void EventQueue::Restart(uint64_t now_us) {
    for (size_t i = 0; i < kMaxEvents; ++i) {
        const uint64_t every = i < count() ? model_.events[i].every_us : 0;
        data_.due_us[i] = every ? Later(now_us, every) : kNotDue;
    }
}

uint64_t EventQueue::Arm(size_t event, uint64_t now_us) {
    const uint64_t at = Later(now_us, model_.events[event].delay_us);
    data_.due_us[event] = at;
    return at;
}

std::optional<EventQueue::Due> EventQueue::Next(uint64_t now_us) {
    size_t first = count();
    for (size_t i = 0; i < count(); ++i)
        if (data_.due_us[i] <= now_us && (first == count() || data_.due_us[i] < data_.due_us[first]))
            first = i;
    if (first == count())
        return std::nullopt;
    const Due due{first, data_.due_us[first]};
    const uint64_t every = model_.events[first].every_us;
    data_.due_us[first] = every ? Later(due.at, every) : kNotDue;
    return due;
}

void EventQueue::DropUntil(size_t event, uint64_t now_us) {
    const uint64_t every = model_.events[event].every_us;
    const uint64_t at = data_.due_us[event];
    if (!every || at == kNotDue) {
        data_.due_us[event] = kNotDue;
        return;
    }
    if (at > now_us)
        return;
    data_.due_us[event] = Later(Later(at, (now_us - at) / every * every), every);
    if (data_.due_us[event] <= now_us)
        data_.due_us[event] = kNotDue;  // at the end of time
}

}  // namespace quorel::card_model
