// A modelled card at run time: the registers' and the status byte's values,
// the sources' positions and the events' times, changed by each access as
// the model says. Not thread-safe: the stand-in makes one access at a time.
// Time is the caller's, in microseconds from any fixed start, never going
// back: events that have come due by an access fire before it, in the
// order they came due. All that changes is one CardStateData, which the
// card keeps itself or which lives elsewhere (memory shared between
// processes, each with a CardState over it and the same model).
#ifndef QUOREL_CARD_MODEL_CARD_STATE_H
#define QUOREL_CARD_MODEL_CARD_STATE_H

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "card_model.h"
#include "card_state_data.h"

namespace quorel::card_model {

class CardState {
public:
    // One line per access and per event, without a line end: the
    // register's name and index, the value, the actions it triggered, the
    // interrupt's changes.
    using Log = std::function<void(const std::string& line)>;

    // At the window's first mapping: every register at its reset value
    // (initial: what the register held before the model, kept for those
    // the model does not name), periodic events counted from now_us.
    CardState(std::shared_ptr<const CardModel> model, const uint8_t (&initial)[kRegisterCount],
              uint64_t now_us);
    // The same, in data, which outlives the card; then each process that
    // shares data makes its card over it with the second constructor.
    static void Start(const CardModel& model, const uint8_t (&initial)[kRegisterCount], uint64_t now_us,
                      CardStateData* data);
    CardState(std::shared_ptr<const CardModel> model, CardStateData* data);

    void SetLog(Log log);

    // The application's accesses.
    uint8_t Read(uint8_t index, uint64_t now_us);
    void Write(uint8_t index, uint8_t value, uint64_t now_us);
    uint8_t ReadStatus(uint64_t now_us);
    void Command(uint8_t byte, uint64_t now_us);  // a write to the status register

    // The values now, without side effects and without moving time.
    uint8_t Peek(uint8_t index) const;
    uint8_t PeekStatus() const;
    // Pending AND enable (pending alone when the model has no enable).
    bool InterruptAsserted() const;

    const CardModel& model() const { return *model_; }

private:
    struct Impl;
    std::shared_ptr<const CardModel> model_;
    std::unique_ptr<Impl> impl_;

public:
    ~CardState();
    CardState(CardState&&) noexcept;
    CardState& operator=(CardState&&) noexcept;
};

}  // namespace quorel::card_model

#endif  // QUOREL_CARD_MODEL_CARD_STATE_H
