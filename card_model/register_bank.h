// A modelled card's values: the registers, their sources' positions and the
// status byte, kept in a CardStateData, as CardState changes them. Knows no
// time and writes no log.
#ifndef QUOREL_CARD_MODEL_REGISTER_BANK_H
#define QUOREL_CARD_MODEL_REGISTER_BANK_H

#include <array>
#include <cstddef>
#include <cstdint>

#include "card_model.h"
#include "card_state_data.h"

namespace quorel::card_model {

class RegisterBank {
public:
    // Over values held in data, started before (Start) or now.
    RegisterBank(const CardModel& model, CardStateData& data);

    // The registers as they were before the model, then Reset.
    void Start(const uint8_t (&initial)[kRegisterCount]);
    // Every register at its reset value (or what it held before the
    // model), the sources at their start, the status at [csr]'s reset.
    void Reset();
    const Register* Named(uint8_t index) const { return named_[index]; }

    // What the register holds: for a source register, what its next read
    // returns; for a write-only one, what was written last.
    uint8_t Held(uint8_t index) const;
    // The register now holds value: a source register returns it at its
    // next read, once, and then goes on.
    void Hold(uint8_t index, uint8_t value);
    // The application's read: the value (a write-only register's fill),
    // the source moved on and the read action applied.
    uint8_t Read(uint8_t index);

    // The register or the status byte that a target names, all its bits.
    uint8_t HeldAt(const Target& target) const;
    void HoldAt(const Target& target, uint8_t value);
    uint8_t status() const { return data_.status; }

private:
    uint8_t Upcoming(const Register& reg) const;
    void MoveOn(const Register& reg);

    const CardModel& model_;
    std::array<const Register*, kRegisterCount> named_{};
    CardStateData& data_;
};

}  // namespace quorel::card_model

#endif  // QUOREL_CARD_MODEL_REGISTER_BANK_H
