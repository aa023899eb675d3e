#include "recorded_cards.h"

#include <cstdio>

namespace quorel::sim::replay {

namespace {

constexpr int kNone = -1;  // no card
constexpr int kBoards = 4;
constexpr int64_t kSuccess = 0;
constexpr int64_t kNothingToActOn = 1;
constexpr uint8_t kStatusIndex = 255;  // refused by the plain register calls

// The bytes the four commands write to the control/status register.
struct CommandByte {
    const char* name;
    uint8_t byte;
};
constexpr CommandByte kCommands[] = {
    {"Quorel_srst", 0xC0}, {"Quorel_enint", 0x0C}, {"Quorel_disint", 0x08}, {"Quorel_ackint", 0x03}};

std::string Where(const TraceCall& call) {
    return " at line " + std::to_string(call.line) + " (#" + std::to_string(call.sequence) + ")";
}

class Recorder {
public:
    using Numbers = std::vector<int64_t>;
    using Handler = void (Recorder::*)(const TraceCall&, const Numbers&);

    void Take(const TraceCall& call);
    Recording& result() { return out_; }

private:
    struct Rule {
        const char* name;
        size_t arguments;
        Handler handle;  // null: the call makes no access
    };
    static const Rule kRules[];

    void Open(const TraceCall& call, const Numbers&);
    void Open2(const TraceCall& call, const Numbers&);
    void Close(const TraceCall&, const Numbers&) { window_ = kNone; }
    void Close2(const TraceCall&, const Numbers&);
    void In(const TraceCall& call, const Numbers& n) { Load(call, n[0]); }
    void Out(const TraceCall& call, const Numbers& n) { Store(call, n[0], n[1]); }
    void In2(const TraceCall& call, const Numbers& n);
    void Out2(const TraceCall& call, const Numbers& n);
    void Command(const TraceCall& call, const Numbers&);
    void Status(const TraceCall& call, const Numbers&);

    void Load(const TraceCall& call, int64_t index);
    void Store(const TraceCall& call, int64_t index, int64_t value);
    bool SelectBoard(int64_t board);
    int CardAt(const std::string& location, const std::string& how);
    void Add(int card, const TraceCall& call, uint32_t line, uint32_t offset, int64_t value, bool read);
    void NotUsed(const TraceCall& call, const std::string& why) {
        out_.unused.push_back(Unused{call.line, call.text + ": " + why});
    }

    Recording out_;
    int window_ = kNone;  // the card the single-card calls address
    int slots_[kBoards] = {kNone, kNone, kNone, kNone};
};

const Recorder::Rule Recorder::kRules[] = {
    {"Quorel_open", 1, &Recorder::Open},     {"Quorel_open2", 0, &Recorder::Open2},
    {"Quorel_close", 0, &Recorder::Close},   {"Quorel_close2", 0, &Recorder::Close2},
    {"Quorel_in", 1, &Recorder::In},         {"Quorel_out", 2, &Recorder::Out},
    {"Quorel_in2", 2, &Recorder::In2},       {"Quorel_out2", 3, &Recorder::Out2},
    {"Quorel_srst", 0, &Recorder::Command},  {"Quorel_enint", 0, &Recorder::Command},
    {"Quorel_disint", 0, &Recorder::Command}, {"Quorel_ackint", 0, &Recorder::Command},
    {"Quorel_sts", 0, &Recorder::Status},    {"Quorel_LibVersion", 2, nullptr},
    {"Quorel_setwr2wrdly", 1, nullptr},      {"Quorel_getvalidid2", 1, nullptr},
};

void Recorder::Take(const TraceCall& call) {
    out_.threads.insert(call.thread);
    for (const Rule& rule : kRules) {
        if (call.name != rule.name)
            continue;
        if (!rule.handle)
            return;
        Numbers numbers(call.arguments.size());
        for (size_t i = 0; i < numbers.size(); ++i)
            if (!ParseNumber(call.arguments[i], &numbers[i]))
                return NotUsed(call, "argument '" + call.arguments[i] + "' is not a number");
        if (numbers.size() != rule.arguments)
            return NotUsed(call, "the library's " + call.name + " takes " +
                                     std::to_string(rule.arguments) + " arguments");
        return (this->*rule.handle)(call, numbers);
    }
    NotUsed(call, "the library has no function of this name");
}

// Its one search line says which card; a card opened stays addressed,
// one whose mapping failed leaves none, one not found the earlier one.
void Recorder::Open(const TraceCall& call, const Numbers&) {
    if (call.result == kNothingToActOn)
        return;
    window_ = kNone;
    if (call.search.size() != 1 || call.search[0].location.empty())
        return NotUsed(call, "its lines do not name the card it opened: the calls on that card "
                             "are not replayed");
    const bool mapped = call.result == kSuccess;
    const int card = CardAt(call.search[0].location,
                            call.text + Where(call) + (mapped ? "" : ", mapping refused"));
    window_ = mapped ? card : kNone;
}

// Each card mapped is addressed in turn and its board-ID register read; it
// is filed under the board ID that gives.
void Recorder::Open2(const TraceCall& call, const Numbers&) {
    for (const SearchedCard& searched : call.search) {
        if (searched.location.empty())
            continue;
        const std::string board =
            searched.board_read ? ", as board " + std::to_string(searched.board) : "";
        const int card = CardAt(searched.location, call.text + Where(call) +
                                                       (searched.mapped ? board : ", mapping refused"));
        if (!searched.mapped)
            continue;
        window_ = card;
        if (!searched.board_read || searched.board < 0 || searched.board >= kBoards)
            continue;
        Add(card, call, searched.board_line, kBoardIdOffset, searched.board_register, true);
        slots_[searched.board] = card;
    }
}

void Recorder::Close2(const TraceCall&, const Numbers&) {
    window_ = kNone;
    for (int& slot : slots_)
        slot = kNone;
}

bool Recorder::SelectBoard(int64_t board) {
    if (board < 0 || board >= kBoards || slots_[board] == kNone)
        return false;
    window_ = slots_[board];
    return true;
}

void Recorder::In2(const TraceCall& call, const Numbers& n) {
    if (SelectBoard(n[0]))
        Load(call, n[1]);
}

void Recorder::Out2(const TraceCall& call, const Numbers& n) {
    if (SelectBoard(n[0]))
        Store(call, n[1], n[2]);
}

void Recorder::Command(const TraceCall& call, const Numbers&) {
    if (call.result != kSuccess)
        return;
    if (window_ == kNone)
        return NotUsed(call, "succeeded with no card open, as the trace tells it");
    for (const CommandByte& command : kCommands)
        if (call.name == command.name)
            Add(window_, call, call.line, kStatusOffset, command.byte, false);
}

void Recorder::Status(const TraceCall& call, const Numbers&) {
    if (window_ != kNone)
        Add(window_, call, call.line, kStatusOffset, call.result, true);
}

// Only the index's low byte counts; index 255 and a closed library make no access.
void Recorder::Load(const TraceCall& call, int64_t index) {
    const uint8_t reg = static_cast<uint8_t>(index);
    if (window_ != kNone && reg != kStatusIndex)
        Add(window_, call, call.line, reg * kRegisterStride, call.result, true);
}

void Recorder::Store(const TraceCall& call, int64_t index, int64_t value) {
    const uint8_t reg = static_cast<uint8_t>(index);
    if (call.result != kSuccess)
        return;
    if (window_ == kNone || reg == kStatusIndex)
        return NotUsed(call, "succeeded with no card open or at index 255, as the trace tells it");
    Add(window_, call, call.line, reg * kRegisterStride, static_cast<uint8_t>(value), false);
}

int Recorder::CardAt(const std::string& location, const std::string& how) {
    for (size_t i = 0; i < out_.cards.size(); ++i)
        if (out_.cards[i].location == location) {
            out_.cards[i].opens.push_back(how);
            return static_cast<int>(i);
        }
    out_.cards.push_back(RecordedCard{location, {how}, {}, {}, {}});
    return static_cast<int>(out_.cards.size() - 1);
}

void Recorder::Add(int card, const TraceCall& call, uint32_t line, uint32_t offset, int64_t value,
                   bool read) {
    if (read && (value < 0 || value > 0xFF))
        return NotUsed(call, "a register read whose result is not a byte");
    RecordedCard& recorded = out_.cards[card];
    const Access access{offset, static_cast<uint8_t>(value), line, call.sequence, call.text};
    if (read)
        recorded.reads[offset].push_back(access);
    else
        recorded.writes.push_back(access);
    recorded.threads.insert(call.thread);
}

}  // namespace

Recording Record(const Trace& trace) {
    Recorder recorder;
    for (const TraceCall& call : trace.calls)
        recorder.Take(call);
    return std::move(recorder.result());
}

std::string OffsetName(uint32_t offset) {
    if (offset == kStatusOffset)
        return "the control/status register";
    if (offset % kRegisterStride == 0)
        return "register " + std::to_string(offset / kRegisterStride);
    char text[32];
    std::snprintf(text, sizeof(text), "window offset 0x%X", static_cast<unsigned>(offset));
    return text;
}

}  // namespace quorel::sim::replay
