#include "register_bank.h"

#include <algorithm>

namespace quorel::card_model {

RegisterBank::RegisterBank(const CardModel& model, const uint8_t (&initial)[kRegisterCount])
    : model_(model) {
    std::copy(std::begin(initial), std::end(initial), initial_.begin());
    for (const Register& reg : model.registers)
        named_[reg.index] = &reg;
    Reset();
}

void RegisterBank::Reset() {
    values_ = initial_;
    for (const Register& reg : model_.registers) {
        if (!reg.reset_from_machine)
            values_[reg.index] = reg.reset;
        sources_[reg.index] = SourceState{0, reg.source.start, std::nullopt};
    }
    status_ = model_.status_reset;
}

uint8_t RegisterBank::Upcoming(const Register& reg) const {
    const SourceState& state = sources_[reg.index];
    if (state.written)
        return *state.written;
    switch (reg.source.kind) {
    case Source::Kind::kSequence: return reg.source.sequence[state.next];
    case Source::Kind::kCounter: return state.counter;
    case Source::Kind::kConstant: return reg.source.constant;
    default: return values_[reg.index];
    }
}

// After a read: a written value is used up, else the source goes on.
void RegisterBank::MoveOn(const Register& reg) {
    SourceState& state = sources_[reg.index];
    if (state.written) {
        state.written.reset();
    } else if (reg.source.kind == Source::Kind::kSequence) {
        const bool last = state.next + 1 >= reg.source.sequence.size();
        state.next = last ? (reg.source.loop ? 0 : state.next) : state.next + 1;
    } else if (reg.source.kind == Source::Kind::kCounter) {
        state.counter = static_cast<uint8_t>(state.counter + reg.source.step);
    }
}

uint8_t RegisterBank::Held(uint8_t index) const {
    const Register* reg = named_[index];
    return reg && reg->source.kind != Source::Kind::kNone ? Upcoming(*reg) : values_[index];
}

void RegisterBank::Hold(uint8_t index, uint8_t value) {
    const Register* reg = named_[index];
    if (reg && reg->source.kind != Source::Kind::kNone)
        sources_[index].written = value;
    else
        values_[index] = value;
}

uint8_t RegisterBank::Read(uint8_t index) {
    const Register* reg = named_[index];
    if (!reg)
        return values_[index];
    if (reg->access == Access::kWriteOnly)
        return reg->fill;
    const uint8_t value = Held(index);
    if (reg->source.kind != Source::Kind::kNone)
        MoveOn(*reg);
    if (reg->read != ReadEffect::kNone)
        values_[index] = reg->read == ReadEffect::kClear ? 0x00 : 0xFF;
    return value;
}

uint8_t RegisterBank::HeldAt(const Target& target) const {
    return target.status ? status_ : Held(target.index);
}

void RegisterBank::HoldAt(const Target& target, uint8_t value) {
    if (target.status)
        status_ = value;
    else
        Hold(target.index, value);
}

}  // namespace quorel::card_model
