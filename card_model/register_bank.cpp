#include "register_bank.h"

#include <algorithm>
#include <iterator>

namespace quorel::card_model {

RegisterBank::RegisterBank(const CardModel& model, CardStateData& data) : model_(model), data_(data) {
    for (const Register& reg : model.registers)
        named_[reg.index] = &reg;
}

void RegisterBank::Start(const uint8_t (&initial)[kRegisterCount]) {
    std::copy(std::begin(initial), std::end(initial), data_.initial);
    Reset();
}

void RegisterBank::Reset() {
    std::copy(std::begin(data_.initial), std::end(data_.initial), data_.values);
    for (const Register& reg : model_.registers) {
        if (!reg.reset_from_machine)
            data_.values[reg.index] = reg.reset;
        data_.sources[reg.index] = SourcePosition{0, reg.source.start, 0, 0, 0};
    }
    data_.status = model_.status_reset;
}

uint8_t RegisterBank::Upcoming(const Register& reg) const {
    const SourcePosition& state = data_.sources[reg.index];
    if (state.has_written)
        return state.written;
    switch (reg.source.kind) {
    case Source::Kind::kSequence:  // bounded: the data may be shared with other processes
        return reg.source.sequence[std::min<size_t>(state.next, reg.source.sequence.size() - 1)];
    case Source::Kind::kCounter: return state.counter;
    case Source::Kind::kConstant: return reg.source.constant;
    default: return data_.values[reg.index];
    }
}

// After a read: a written value is used up, else the source goes on.
void RegisterBank::MoveOn(const Register& reg) {
    SourcePosition& state = data_.sources[reg.index];
    if (state.has_written) {
        state.has_written = 0;
    } else if (reg.source.kind == Source::Kind::kSequence) {
        const bool last = state.next + 1 >= reg.source.sequence.size();
        state.next = last ? (reg.source.loop ? 0 : state.next) : state.next + 1;
    } else if (reg.source.kind == Source::Kind::kCounter) {
        state.counter = static_cast<uint8_t>(state.counter + reg.source.step);
    }
}

uint8_t RegisterBank::Held(uint8_t index) const {
    const Register* reg = named_[index];
    return reg && reg->source.kind != Source::Kind::kNone ? Upcoming(*reg) : data_.values[index];
}

void RegisterBank::Hold(uint8_t index, uint8_t value) {
    const Register* reg = named_[index];
    if (!reg || reg->source.kind == Source::Kind::kNone) {
        data_.values[index] = value;
        return;
    }
    data_.sources[index].written = value;
    data_.sources[index].has_written = 1;
}

uint8_t RegisterBank::Read(uint8_t index) {
    const Register* reg = named_[index];
    if (!reg)
        return data_.values[index];
    if (reg->access == Access::kWriteOnly)
        return reg->fill;
    const uint8_t value = Held(index);
    if (reg->source.kind != Source::Kind::kNone)
        MoveOn(*reg);
    if (reg->read != ReadEffect::kNone)
        data_.values[index] = reg->read == ReadEffect::kClear ? 0x00 : 0xFF;
    return value;
}

uint8_t RegisterBank::HeldAt(const Target& target) const {
    return target.status ? data_.status : Held(target.index);
}

void RegisterBank::HoldAt(const Target& target, uint8_t value) {
    if (target.status)
        data_.status = value;
    else
        Hold(target.index, value);
}

}  // namespace quorel::card_model
