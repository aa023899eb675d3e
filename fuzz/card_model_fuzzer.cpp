// The card-model reader on any text: the text up to a NUL byte is the
// model, the rest what any sequence file it names holds (without a NUL,
// every sequence file is missing). It returns a model or problems, each
// with its line, never both; a model it returns is then driven as the
// stand-in drives a card: reads, writes, the status and commands at times
// that move on, and once a long sleep.
#include <string>
#include <string_view>

#include "card_model/card_model.h"
#include "card_model/card_state.h"
#include "fuzz_support.h"

namespace {

using namespace quorel::card_model;

constexpr int kAccesses = 256;
constexpr uint64_t kLongSleepUs = 10'000'000;
constexpr size_t kMostEventsForSleep = 8;  // each fires at most 65536 times in it

void Check(const CardModel& model) {
    for (const Register& reg : model.registers) {
        FUZZ_CHECK(reg.index < kRegisterCount && model.FindRegister(reg.index) == &reg);
        FUZZ_CHECK(reg.source.kind != Source::Kind::kSequence || !reg.source.sequence.empty());
        for (const Field& field : reg.fields)
            FUZZ_CHECK(field.low <= field.high && field.high <= 7);
    }
    for (const Event& event : model.events)
        FUZZ_CHECK(!event.every_us != !event.after_write);
}

// Any register, or one the model names.
uint8_t PickRegister(const CardModel& model, uint32_t random) {
    if (model.registers.empty() || random & 1)
        return static_cast<uint8_t>((random >> 1) % kRegisterCount);
    return model.registers[(random >> 1) % model.registers.size()].index;
}

uint8_t PickCommand(const CardModel& model, uint32_t random) {
    if (model.commands.empty() || random & 1)
        return static_cast<uint8_t>(random >> 1);
    return model.commands[(random >> 1) % model.commands.size()].byte;
}

void Drive(const std::shared_ptr<const CardModel>& model, uint32_t random) {
    uint8_t initial[kRegisterCount];
    for (unsigned i = 0; i < kRegisterCount; ++i)
        initial[i] = static_cast<uint8_t>(i);
    CardState card(model, initial, 0);
    card.SetLog([](const std::string& line) { FUZZ_CHECK(!line.empty()); });
    uint64_t now = 0;
    for (int i = 0; i < kAccesses; ++i) {
        random = random * 1103515245u + 12345u;
        now += (random >> 4) % 512;
        const uint32_t what = random >> 16;
        switch (random % 4) {
        case 0: card.Read(PickRegister(*model, what), now); break;
        case 1: card.Write(PickRegister(*model, what), static_cast<uint8_t>(what >> 8), now); break;
        case 2: card.ReadStatus(now); break;
        default: card.Command(PickCommand(*model, what), now); break;
        }
    }
    if (model->events.size() <= kMostEventsForSleep)
        card.ReadStatus(now + kLongSleepUs);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t nul = input.find('\0');
    const std::string tail(nul == std::string_view::npos ? "" : input.substr(nul + 1));
    const ReadFileFunction read_file = [&](const std::string&, std::string* text, std::string* why) {
        *why = "no such file";
        *text = tail;
        return nul != std::string_view::npos;
    };
    std::vector<Problem> problems;
    std::shared_ptr<const CardModel> model =
        ParseCardModel(input.substr(0, nul), "fuzz.toml", read_file, &problems);
    FUZZ_CHECK(!model == !problems.empty());
    for (const Problem& problem : problems)
        FUZZ_CHECK(problem.line > 0 && !problem.message.empty());
    if (model) {
        Check(*model);
        Drive(model, static_cast<uint32_t>(size));
    }
    return 0;
}
