// The watch's frames: what was read at each refresh, with or without a card
// model, on a terminal of some size or a pipe, gives the expected text.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "card_model/card_model.h"
#include "watch/frame.h"

namespace {

namespace card_model = quorel::card_model;

constexpr char kModel[] = R"(name = "Test card"
[[register]]
name = "CTRL"
index = 5
  [[register.field]]
  name = "START"
  bits = "0"
  [[register.field]]
  name = "MODE"
  bits = "2:1"
  values = { single = 0, test = 2 }
[[register]]
name = "FIFO"
index = 9
source = { counter = {} }
[[register]]
name = "CMD"
index = 10
access = "write-only"
[csr]
  [[csr.field]]
  name = "PENDING"
  bits = "0"
  [[csr.field]]
  name = "IE"
  bits = "2"
  [[csr.field]]
  name = "READY"
  bits = "7"
[interrupt]
pending = "csr.PENDING"
enable = "csr.IE"
)";

constexpr watch::TimeOfDay kTen = 10 * 3600 * 1000;  // 10:00:00.000

// One refresh: the registers read (the others unread) and the status.
struct Refresh {
    std::map<int, uint8_t> registers;
    uint8_t status;
};

struct FrameCase {
    const char* name;
    bool model;
    std::vector<Refresh> refreshes;  // half a second apart from 10:00
    int read_once;                   // a register read on request after them, or -1
    int width, height;               // 0, 0: one frame for a pipe
    const char* expected;            // the whole text, highlights as [..]
};

const FrameCase kCases[] = {
    {"a model's registers, one refresh, for a pipe", true, {{{{5, 0x05}}, 0x81}}, -1, 0, 0,
     "card 0 (00:05.0)  every 0.5 s  10:00:00.000\n"
     "model: Test card (test.toml)\n"
     "REG NAME  HEX  BINARY   CHANGED      FIELDS\n"
     "5   CTRL  0x05 00000101 -            START=1 MODE=2 (test)\n"
     "9   FIFO  --   --       -            not read (source advances)\n"
     "10  CMD   --   --       -            not read (write-only, reads 0x00)\n"
     "255 csr   0x81 10000001 -            PENDING=1 IE=0 READY=1\n"
     "interrupt: pending 1, enable 0, asserted 0\n"},
    {"changes highlighted, with the time; FIFO read once; the keys", true,
     {{{{5, 0x05}}, 0x01}, {{{5, 0x04}}, 0x05}}, 9, 80, 24,
     "card 0 (00:05.0)  every 0.5 s  10:00:00.500\n"
     "model: Test card (test.toml)\n"
     "REG NAME  HEX  BINARY   CHANGED      FIELDS\n"
     "5   CTRL  [0x04] [00000100] 10:00:00.500 [START=0] MODE=2 (test)\n"
     "9   FIFO  0x07 00000111 10:00:01.000 (read once)\n"
     "10  CMD   --   --       -            not read (write-only, reads 0x00)\n"
     "255 csr   [0x05] [00000101] 10:00:00.500 PENDING=1 [IE=1] READY=0\n"
     "interrupt: pending 1, [enable 1], [asserted 1]\n"
     "\n"
     "keys: w write/read  r reset  e enable  d disable  a ack  p pause  q quit\n"},
    {"a small terminal: fields wrapped, registers scrolled, lines cut", true,
     {{{{5, 0x05}}, 0x81}}, -1, 52, 10,
     "card 0 (00:05.0)  every 0.5 s  10:00:00.000\n"
     "model: Test card (test.toml)\n"
     "REG NAME  HEX  BINARY   CHANGED      FIELDS  (1-1 of\n"
     "5   CTRL  0x05 00000101 -            START=1\n"
     "                                     MODE=2 (test)\n"
     "255 csr   0x81 10000001 -            PENDING=1 IE=0\n"
     "                                     READY=1\n"
     "interrupt: pending 1, enable 0, asserted 0\n"
     "\n"
     "keys: w write/read  r reset  e enable  d disable  a\n"},
    {"no model: the grid, the last changes beside it", false,
     {{{{0x12, 0x00}, {0x20, 0x01}}, 0x11}, {{{0x12, 0x42}, {0x20, 0x01}}, 0x11}}, -1, 0, 0,
     "card 0 (00:05.0)  every 0.5 s  10:00:00.500\n"
     "model: none (--model PATH names registers and fields)\n"
     "reg  +0 +1 +2 +3 +4 +5 +6 +7 +8 +9 +a +b +c +d +e +f   LAST CHANGED\n"
     "00:  -- -- -- -- -- -- -- -- -- -- -- -- -- -- -- --   [12 01000010 10:00:00.500]\n"
     "10:  -- -- [42] --\n"
     "20:  01\n"},
};

// The text with each highlight as [..], ready to compare.
std::string Marked(const std::vector<watch::Line>& lines) {
    std::string text;
    for (const watch::Line& line : lines) {
        std::string shown;
        for (const watch::Span& span : line)
            shown += span.highlight ? "[" + span.text + "]" : span.text;
        text += shown.erase(shown.find_last_not_of(' ') + 1) + "\n";
    }
    return text;
}

watch::CardView Refreshed(const FrameCase& c) {
    watch::CardView card;
    watch::TimeOfDay time = kTen;
    for (const Refresh& refresh : c.refreshes) {
        watch::Sample sample{std::vector<std::optional<uint8_t>>(card_model::kRegisterCount),
                             refresh.status, time};
        for (const auto& [index, value] : refresh.registers)
            sample.registers[size_t(index)] = value;
        card.Update(sample);
        time += 500;
    }
    if (c.read_once >= 0)
        card.ReadOnce(c.read_once, 0x07, time);
    return card;
}

// The grid's frame holds each line expected (the start of its row).
void ExpectEachLineIn(const std::string& text, const std::string& expected) {
    for (size_t at = 0, end; (end = expected.find('\n', at)) != std::string::npos; at = end + 1)
        EXPECT_NE(text.find(expected.substr(at, end - at)), std::string::npos)
            << expected.substr(at, end - at) << " in\n" << text;
}

TEST(WatchFrame, ValuesAndChangesGiveTheExpectedFrame) {
    std::vector<card_model::Problem> problems;
    const auto model = card_model::ParseCardModel(kModel, "test.toml", nullptr, &problems);
    ASSERT_TRUE(model);
    for (const FrameCase& c : kCases) {
        SCOPED_TRACE(c.name);
        watch::Screen screen;
        screen.title = "card 0 (00:05.0)";
        screen.model = c.model ? model.get() : nullptr;
        screen.live = c.width != 0;
        screen.width = c.width;
        screen.height = c.height;
        const std::string text = Marked(watch::Frame(Refreshed(c), screen));
        if (c.model)
            EXPECT_EQ(text, c.expected);
        else
            ExpectEachLineIn(text, c.expected);
    }
}

}  // namespace
