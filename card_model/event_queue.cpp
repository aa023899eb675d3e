#include "event_queue.h"

#include <limits>

namespace quorel::card_model {

namespace {

constexpr uint64_t kNever = std::numeric_limits<uint64_t>::max();

uint64_t Later(uint64_t at, uint64_t delay) { return delay > kNever - at ? kNever : at + delay; }

}  // namespace

void EventQueue::Schedule(size_t event, uint64_t at) {
    Unschedule(event);
    due_[event] = at;
    queue_.emplace(at, event);
}

void EventQueue::Unschedule(size_t event) {
    if (due_[event])
        queue_.erase({*due_[event], event});
    due_[event].reset();
}

void EventQueue::Restart(uint64_t now_us) {
    queue_.clear();
    due_.assign(model_.events.size(), std::nullopt);
    for (size_t i = 0; i < model_.events.size(); ++i)
        if (model_.events[i].every_us)
            Schedule(i, Later(now_us, model_.events[i].every_us));
}

uint64_t EventQueue::Arm(size_t event, uint64_t now_us) {
    const uint64_t at = Later(now_us, model_.events[event].delay_us);
    Schedule(event, at);
    return at;
}

std::optional<EventQueue::Due> EventQueue::Next(uint64_t now_us) {
    if (queue_.empty() || queue_.begin()->first > now_us)
        return std::nullopt;
    const Due due{queue_.begin()->second, queue_.begin()->first};
    Unschedule(due.event);
    if (const uint64_t every = model_.events[due.event].every_us)
        Schedule(due.event, Later(due.at, every));
    return due;
}

void EventQueue::DropUntil(size_t event, uint64_t now_us) {
    const uint64_t every = model_.events[event].every_us;
    if (!every || !due_[event]) {
        Unschedule(event);
        return;
    }
    const uint64_t at = *due_[event];
    if (at > now_us)
        return;
    const uint64_t next = Later(Later(at, (now_us - at) / every * every), every);
    if (next > now_us)
        Schedule(event, next);
    else
        Unschedule(event);  // at the end of time
}

}  // namespace quorel::card_model
