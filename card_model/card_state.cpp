// CardState: each access, the events due before it, the actions, the log.
#include "card_state.h"

#include <algorithm>
#include <vector>

#include "event_queue.h"
#include "reader_support.h"
#include "register_bank.h"

namespace quorel::card_model {

namespace {

// An event fires at most this often in one access: after a long sleep a
// short period would otherwise keep the access busy for as long.
constexpr uint32_t kMaxFirings = 65536;

const char* EffectName(WriteEffect effect) {
    switch (effect) {
    case WriteEffect::kOneToClear: return "oneToClear";
    case WriteEffect::kOneToSet: return "oneToSet";
    case WriteEffect::kOneToToggle: return "oneToToggle";
    default: return "modify";
    }
}

uint8_t Written(WriteEffect effect, uint8_t held, uint8_t value) {
    switch (effect) {
    case WriteEffect::kOneToClear: return held & ~value;
    case WriteEffect::kOneToSet: return held | value;
    case WriteEffect::kOneToToggle: return held ^ value;
    default: return value;
    }
}

int LowBit(uint8_t mask) {
    int low = 0;
    while (low < 7 && !(mask >> low & 1))
        ++low;
    return low;
}

uint8_t Acted(const Action& action, uint8_t held) {
    const uint8_t mask = action.target.mask;
    switch (action.kind) {
    case Action::Kind::kSet: return held | mask;
    case Action::Kind::kClear: return held & ~mask;
    case Action::Kind::kToggle: return held ^ mask;
    default: return (held & ~mask) | ((action.value << LowBit(mask)) & mask);
    }
}

std::string Label(const Register* reg, uint8_t index) {
    return reg ? reg->name + " (" + std::to_string(index) + ")" : std::to_string(index);
}

}  // namespace

struct CardState::Impl {
    Impl(const CardModel& model, CardStateData& data)
        : model(model), data(data), bank(model, data), events(model, data), fired(events.count()) {}

    const CardModel& model;
    CardStateData& data;
    RegisterBank bank;
    EventQueue events;
    Log log;
    std::vector<uint32_t> fired;  // by event, in this access
    std::unique_ptr<CardStateData> own;  // the data, unless it lives elsewhere

    void Say(const std::string& line) const {
        if (log)
            log(line);
    }
    bool On(const std::optional<Target>& target) const {
        return target && (bank.HeldAt(*target) & target->mask);
    }
    bool Asserted() const { return On(model.pending) && (!model.enable || On(model.enable)); }

    void Start(const uint8_t (&initial)[kRegisterCount], uint64_t now_us);
    void Begin(uint64_t now_us);
    void End() { RunDue(); }
    void RunDue();
    void Fire(size_t event, uint64_t at);
    void NoteInterrupt();
    std::string Arm(const Target& written, uint8_t bits, uint64_t at);
    std::string Perform(const std::vector<Action>& actions, uint64_t at);
};

void CardState::Impl::Start(const uint8_t (&initial)[kRegisterCount], uint64_t now_us) {
    data = CardStateData{};
    data.now_us = now_us;
    bank.Start(initial);
    events.Restart(now_us);
    data.interrupt = Asserted();
}

void CardState::Impl::Begin(uint64_t now_us) {
    data.now_us = std::max(data.now_us, now_us);
    std::fill(fired.begin(), fired.end(), 0);
    RunDue();
}

void CardState::Impl::RunDue() {
    while (std::optional<EventQueue::Due> due = events.Next(data.now_us)) {
        if (++fired[due->event] <= kMaxFirings) {
            Fire(due->event, due->at);
            continue;
        }
        events.DropUntil(due->event, data.now_us);
        if (fired[due->event] == kMaxFirings + 1)
            Say("event at line " + std::to_string(model.events[due->event].line) + ": fired " +
                std::to_string(kMaxFirings) + " times in this access, the rest dropped");
    }
    NoteInterrupt();
}

void CardState::Impl::Fire(size_t event, uint64_t at) {
    const std::string done = Perform(model.events[event].actions, at);
    Say("event at line " + std::to_string(model.events[event].line) + ": " + done);
    NoteInterrupt();
}

void CardState::Impl::NoteInterrupt() {
    if (Asserted() == (data.interrupt != 0))
        return;
    data.interrupt = !data.interrupt;
    Say(data.interrupt ? "interrupt asserted" : "interrupt released");
}

// Arms the after-write events of the register written (all its bits
// now in `bits` for a field's event); what it armed, for the log.
std::string CardState::Impl::Arm(const Target& written, uint8_t bits, uint64_t at) {
    std::string armed;
    for (size_t i = 0; i < events.count(); ++i) {
        const std::optional<Target>& on = model.events[i].after_write;
        if (!on || on->status != written.status || (!on->status && on->index != written.index) ||
            (on->field && !(bits & on->mask)))
            continue;
        const uint64_t due = events.Arm(i, at);
        armed += ", arms event at line " + std::to_string(model.events[i].line) + " (in " +
                 std::to_string(due - at) + " us)";
    }
    return armed;
}

std::string CardState::Impl::Perform(const std::vector<Action>& actions, uint64_t at) {
    std::string done;
    for (const Action& action : actions) {
        done += (done.empty() ? "" : ", ") + action.text;
        if (action.kind == Action::Kind::kReset) {
            bank.Reset();
            events.Restart(at);
            continue;
        }
        const uint8_t value = Acted(action, bank.HeldAt(action.target));
        bank.HoldAt(action.target, value);
        done += Arm(action.target, value & action.target.mask, at);
    }
    return done.empty() ? "no actions" : done;
}

CardState::CardState(std::shared_ptr<const CardModel> model, const uint8_t (&initial)[kRegisterCount],
                     uint64_t now_us)
    : model_(std::move(model)) {
    auto own = std::make_unique<CardStateData>();
    impl_ = std::make_unique<Impl>(*model_, *own);
    impl_->own = std::move(own);
    impl_->Start(initial, now_us);
}

void CardState::Start(const CardModel& model, const uint8_t (&initial)[kRegisterCount], uint64_t now_us,
                      CardStateData* data) {
    Impl(model, *data).Start(initial, now_us);
}

CardState::CardState(std::shared_ptr<const CardModel> model, CardStateData* data)
    : model_(std::move(model)), impl_(std::make_unique<Impl>(*model_, *data)) {}

CardState::~CardState() = default;
CardState::CardState(CardState&&) noexcept = default;
CardState& CardState::operator=(CardState&&) noexcept = default;

void CardState::SetLog(Log log) { impl_->log = std::move(log); }

uint8_t CardState::Read(uint8_t index, uint64_t now_us) {
    impl_->Begin(now_us);
    const Register* reg = impl_->bank.Named(index);
    const uint8_t value = impl_->bank.Read(index);
    std::string after;
    if (reg && reg->access == Access::kWriteOnly)
        after = " (write-only: fill)";
    else if (reg && reg->read != ReadEffect::kNone)
        after = reg->read == ReadEffect::kClear ? ", then clear" : ", then set";
    impl_->Say("read " + Label(reg, index) + " = " + Hex(value) + after);
    impl_->End();
    return value;
}

void CardState::Write(uint8_t index, uint8_t value, uint64_t now_us) {
    impl_->Begin(now_us);
    const Register* reg = impl_->bank.Named(index);
    std::string line = "write " + Label(reg, index) + " " + Hex(value);
    if (reg && reg->access == Access::kReadOnly) {
        impl_->Say(line + " ignored: read-only");
        return impl_->End();
    }
    const WriteEffect effect = reg ? reg->write : WriteEffect::kModify;
    const uint8_t held = Written(effect, impl_->bank.Held(index), value);
    impl_->bank.Hold(index, held);
    if (effect != WriteEffect::kModify)
        line += std::string(" (") + EffectName(effect) + ": now " + Hex(held) + ")";
    Target written;
    written.index = index;
    const std::string armed = reg ? impl_->Arm(written, value, impl_->data.now_us) : "";
    impl_->Say(line + (armed.empty() ? "" : ": " + armed.substr(2)));
    impl_->End();
}

uint8_t CardState::ReadStatus(uint64_t now_us) {
    impl_->Begin(now_us);
    const uint8_t status = impl_->bank.status();
    impl_->Say("status = " + Hex(status));
    impl_->End();
    return status;
}

void CardState::Command(uint8_t byte, uint64_t now_us) {
    impl_->Begin(now_us);
    const card_model::Command* command = impl_->model.FindCommand(byte);
    if (!command) {
        impl_->Say("command " + Hex(byte) + ": no such command, ignored");
        return impl_->End();
    }
    const std::string name = command->name.empty() ? "" : " (" + command->name + ")";
    impl_->Say("command " + Hex(byte) + name + ": " + impl_->Perform(command->actions, impl_->data.now_us));
    impl_->End();
}

uint8_t CardState::Peek(uint8_t index) const { return impl_->bank.Held(index); }
uint8_t CardState::PeekStatus() const { return impl_->bank.status(); }
bool CardState::InterruptAsserted() const { return impl_->Asserted(); }

}  // namespace quorel::card_model
