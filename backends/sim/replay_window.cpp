#include "replay_window.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

#include "call_log.h"
#include "environment.h"
#include "model_window.h"
#include "trap/trap.h"

namespace quorel::sim {

namespace {

using replay::Access;

std::string Hex(uint8_t value) {
    char text[8];
    std::snprintf(text, sizeof(text), "0x%02X", value);
    return text;
}

class ReplayWindow : public trap::Watcher {
public:
    ReplayWindow(std::shared_ptr<const ReplayedCard> replay, std::vector<uint8_t> page,
                 std::unique_ptr<trap::Watcher> model, const std::string& location,
                 const std::string& log_target)
        : replay_(std::move(replay)), page_(std::move(page)), model_(std::move(model)),
          prefix_("card " + location + ": ") {
        log_.SetTarget(log_target);
    }

    uint8_t Load(uint32_t offset) override {
        const uint8_t live = model_ ? model_->Load(offset) : page_[offset];
        const std::vector<Access>* reads = Reads(offset);
        if (!reads)
            return live;
        size_t& next = next_read_[offset];
        if (next == reads->size())
            return model_ ? live : reads->back().value;
        const Access& access = (*reads)[next++];
        log_.Model(prefix_ + "replay: read " + replay::OffsetName(offset) + " = " +
                   Hex(access.value) + " as " + Origin(access));
        return access.value;
    }

    void Store(uint32_t offset, uint8_t value) override {
        Compare(offset, value);
        if (model_)
            model_->Store(offset, value);
        else
            page_[offset] = value;
    }

    uint8_t Peek(uint32_t offset) override {
        if (const std::vector<Access>* reads = Reads(offset)) {
            const size_t next = next_read_[offset];
            if (next < reads->size())
                return (*reads)[next].value;
            if (!model_)
                return reads->back().value;
        }
        return model_ ? model_->Peek(offset) : page_[offset];
    }

private:
    const std::vector<Access>* Reads(uint32_t offset) const {
        const auto found = replay_->card.reads.find(offset);
        return found == replay_->card.reads.end() ? nullptr : &found->second;
    }

    // "trace.txt:12 (#7)"
    std::string Origin(const Access& access) const {
        return replay_->trace + ":" + std::to_string(access.line) + " (#" +
               std::to_string(access.sequence) + ")";
    }

    void Compare(uint32_t offset, uint8_t value) {
        const std::vector<Access>& writes = replay_->card.writes;
        const size_t at = next_write_++;
        if (at < writes.size() && writes[at].offset == offset && writes[at].value == value) {
            log_.Model(prefix_ + "replay: write " + Hex(value) + " to " + replay::OffsetName(offset) +
                       " as " + Origin(writes[at]));
            return;
        }
        if (replay_->report->differed)
            return;
        replay_->report->differed = true;
        Say("a write of " + Hex(value) + " to " + replay::OffsetName(offset) + Expected(at));
    }

    // What the recording has where a write differs.
    std::string Expected(size_t at) const {
        const std::vector<Access>& writes = replay_->card.writes;
        if (at < writes.size())
            return " where " + Origin(writes[at]) + " has " + writes[at].call + ", a write of " +
                   Hex(writes[at].value) + " to " + replay::OffsetName(writes[at].offset);
        if (writes.empty())
            return ", but " + replay_->trace + " records no write to this card";
        return " after the last write " + replay_->trace + " records for this card, " +
               writes.back().call + " at " + Origin(writes.back());
    }

    void Say(const std::string& difference) {
        const std::string rest = "; the run goes on, further differences unreported";
        Complain("replay: " + prefix_ + difference + rest);
        log_.Model(prefix_ + "replay: " + difference + rest);
    }

    std::shared_ptr<const ReplayedCard> replay_;
    std::vector<uint8_t> page_;  // what the page holds, without a model
    std::unique_ptr<trap::Watcher> model_;
    std::string prefix_;
    CallLog log_;
    std::map<uint32_t, size_t> next_read_;  // by offset: the next recorded read to serve
    size_t next_write_ = 0;                 // the next recorded write to compare with
};

}  // namespace

uint8_t* MapReplayedWindow(const Function& function, const std::string& location,
                           const std::string& log_target, std::string* why) {
    uint8_t* window = AllocateWindowPages(function, why);
    if (!window)
        return nullptr;
    std::vector<uint8_t> first(window, window + trap::PageSize());
    std::unique_ptr<trap::Watcher> model =
        function.model ? NewModelWatcher(function, first, location, log_target) : nullptr;
    // Never deleted: the trap hands it accesses for as long as the process runs.
    auto* watcher =
        new ReplayWindow(function.replay, std::move(first), std::move(model), location, log_target);
    if (trap::Watch(window, trap::PageSize(), watcher, why))
        return window;
    delete watcher;
    return nullptr;
}

}  // namespace quorel::sim
