#include "model_window.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

#include "call_log.h"
#include "card_model/card_state.h"
#include "trap/trap.h"

namespace quorel::sim {

namespace {

namespace model = card_model;

// The performance counter, in microseconds: what the model's events are
// timed against.
uint64_t NowUs() {
    using namespace std::chrono;
    return static_cast<uint64_t>(
        duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

bool IsRegister(uint32_t offset) {
    return offset % model::kRegisterStride == 0 &&
           offset / model::kRegisterStride < model::kRegisterCount;
}

uint8_t Index(uint32_t offset) { return static_cast<uint8_t>(offset / model::kRegisterStride); }

class ModelWindow : public trap::Watcher {
public:
    ModelWindow(const Function& function, std::vector<uint8_t> page, const std::string& location,
                const std::string& log_target)
        : page_(std::move(page)), state_(function.model, Registers(page_).bytes, NowUs()) {
        log_.SetTarget(log_target);
        if (log_target.empty())
            return;
        const std::string prefix = "card " + location + ": ";
        state_.SetLog([this, prefix](const std::string& line) { log_.Model(prefix + line); });
    }

    uint8_t Load(uint32_t offset) override {
        if (offset == model::kStatusOffset)
            return state_.ReadStatus(NowUs());
        if (IsRegister(offset))
            return state_.Read(Index(offset), NowUs());
        return page_[offset];
    }

    void Store(uint32_t offset, uint8_t value) override {
        if (offset == model::kStatusOffset)
            state_.Command(value, NowUs());
        else if (IsRegister(offset))
            state_.Write(Index(offset), value, NowUs());
        else
            page_[offset] = value;
    }

    uint8_t Peek(uint32_t offset) override {
        if (offset == model::kStatusOffset)
            return state_.PeekStatus();
        return IsRegister(offset) ? state_.Peek(Index(offset)) : page_[offset];
    }

private:
    struct Initial {
        uint8_t bytes[model::kRegisterCount];
    };
    // What the registers held before the model: the machine file's bytes.
    static Initial Registers(const std::vector<uint8_t>& page) {
        Initial initial;
        for (unsigned n = 0; n < model::kRegisterCount; ++n)
            initial.bytes[n] = page[n * model::kRegisterStride];
        return initial;
    }

    std::vector<uint8_t> page_;  // what the page holds where no register is
    CallLog log_;
    model::CardState state_;
};

size_t RoundUpToPages(uint64_t size) {
    const size_t page = trap::PageSize();
    return static_cast<size_t>((size + page - 1) / page * page);
}

}  // namespace

uint8_t* MapModelledWindow(const Function& function, const std::string& location,
                           const std::string& log_target, std::string* why) {
    const size_t page = trap::PageSize();
    if (function.window_size > SIZE_MAX - page) {
        *why = "the window does not fit the address space";
        return nullptr;
    }
    uint8_t* window = trap::AllocatePages(RoundUpToPages(function.window_size));
    if (!window) {
        *why = "no memory for the window";
        return nullptr;
    }
    for (const WindowBytes& init : function.window_init)
        std::memcpy(window + init.offset, init.bytes.data(), init.bytes.size());
    std::vector<uint8_t> first(window, window + page);
    // Never deleted: the trap hands it accesses for as long as the process runs.
    auto* watcher = new ModelWindow(function, std::move(first), location, log_target);
    if (trap::Watch(window, page, watcher, why))
        return window;
    delete watcher;
    return nullptr;
}

std::unique_ptr<trap::Watcher> NewModelWatcher(const Function& function, std::vector<uint8_t> page,
                                               const std::string& location,
                                               const std::string& log_target) {
    return std::make_unique<ModelWindow>(function, std::move(page), location, log_target);
}

}  // namespace quorel::sim
