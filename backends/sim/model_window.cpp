#include "model_window.h"

#include <cstring>

#include "call_log.h"
#include "card_model/card_state.h"
#include "shared_platform.h"
#include "trap/trap.h"

namespace quorel::sim {

namespace {

namespace model = card_model;

bool IsRegister(uint32_t offset) {
    return offset % model::kRegisterStride == 0 &&
           offset / model::kRegisterStride < model::kRegisterCount;
}

uint8_t Index(uint32_t offset) { return static_cast<uint8_t>(offset / model::kRegisterStride); }

// The clock a model's events are timed against: the one every process
// reads alike, so that processes can share a card.
uint64_t CardClockUs() { return shared::MonotonicUs(); }

uint64_t RoundUpToPages(uint64_t size) {
    const uint64_t page = trap::PageSize();
    return (size + page - 1) / page * page;
}

// Each access under the lock, when the card is shared; never deleted: the
// trap hands it accesses for as long as the process runs.
class ModelWindow : public trap::Watcher {
public:
    ModelWindow(std::shared_ptr<const model::CardModel> model, CardRecord* record,
                shared::CrossProcessLock* lock, const std::string& location, const std::string& log_target)
        : record_(*record), lock_(lock), state_(std::move(model), &record->state) {
        log_.SetTarget(log_target);
        if (log_target.empty())
            return;
        const std::string prefix = "card " + location + ": ";
        state_.SetLog([this, prefix](const std::string& line) { log_.Model(prefix + line); });
    }

    uint8_t Load(uint32_t offset) override {
        shared::HeldLock hold(lock_);
        if (offset == model::kStatusOffset)
            return state_.ReadStatus(CardClockUs());
        if (IsRegister(offset))
            return state_.Read(Index(offset), CardClockUs());
        return record_.page[offset];
    }

    void Store(uint32_t offset, uint8_t value) override {
        shared::HeldLock hold(lock_);
        if (offset == model::kStatusOffset)
            state_.Command(value, CardClockUs());
        else if (IsRegister(offset))
            state_.Write(Index(offset), value, CardClockUs());
        else
            record_.page[offset] = value;
    }

    uint8_t Peek(uint32_t offset) override {
        shared::HeldLock hold(lock_);
        if (offset == model::kStatusOffset)
            return state_.PeekStatus();
        return IsRegister(offset) ? state_.Peek(Index(offset)) : record_.page[offset];
    }

private:
    CardRecord& record_;
    shared::CrossProcessLock* lock_;
    CallLog log_;
    model::CardState state_;
};

}  // namespace

void StartCard(const model::CardModel& model, const uint8_t* window, CardRecord* record) {
    std::memcpy(record->page, window, kCardPage);
    uint8_t initial[model::kRegisterCount];
    for (unsigned n = 0; n < model::kRegisterCount; ++n)
        initial[n] = record->page[n * model::kRegisterStride];
    model::CardState::Start(model, initial, CardClockUs(), &record->state);
}

bool WatchCard(uint8_t* window, std::shared_ptr<const model::CardModel> model, CardRecord* record,
               shared::CrossProcessLock* lock, const std::string& location, const std::string& log_target,
               std::string* why) {
    if (trap::PageSize() != kCardPage) {
        *why = "pages of " + std::to_string(trap::PageSize()) + " bytes, not " + std::to_string(kCardPage);
        return false;
    }
    auto* watcher = new ModelWindow(std::move(model), record, lock, location, log_target);
    if (trap::Watch(window, kCardPage, watcher, why))
        return true;
    delete watcher;
    return false;
}

uint8_t* AllocateWindowPages(const Function& function, std::string* why) {
    if (function.window_size > SIZE_MAX - trap::PageSize()) {
        *why = "the window does not fit the address space";
        return nullptr;
    }
    uint8_t* window = trap::AllocatePages(static_cast<size_t>(RoundUpToPages(function.window_size)));
    if (!window) {
        *why = "no memory for the window";
        return nullptr;
    }
    for (const WindowBytes& init : function.window_init)
        std::memcpy(window + init.offset, init.bytes.data(), init.bytes.size());
    return window;
}

uint8_t* MapModelledWindow(const Function& function, const std::string& location,
                           const std::string& log_target, std::string* why) {
    uint8_t* window = AllocateWindowPages(function, why);
    if (!window)
        return nullptr;
    auto* record = new CardRecord;  // never deleted, as the window
    StartCard(*function.model, window, record);
    if (WatchCard(window, function.model, record, nullptr, location, log_target, why))
        return window;
    delete record;
    return nullptr;
}

std::unique_ptr<trap::Watcher> NewModelWatcher(const Function& function, std::vector<uint8_t> page,
                                               const std::string& location,
                                               const std::string& log_target) {
    auto* record = new CardRecord;  // never deleted, as the window
    StartCard(*function.model, page.data(), record);
    return std::make_unique<ModelWindow>(function.model, record, nullptr, location, log_target);
}

}  // namespace quorel::sim
