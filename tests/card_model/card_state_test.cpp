// A modelled card's behaviour, one table: each row a model, the accesses
// made on it (with the time) and what they return, and the log lines they
// must write, in order.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "card_model/card_state.h"
#include "model_files.h"
#include "test_files.h"

namespace quorel::card_model {
namespace {

// Registers 1..17 of each word and source, CTRL (5) starting a 500 us
// conversion, and the status with commands and an interrupt.
const char* const kCard = R"(name = "test card"
[[register]]
name = "PLAIN"
index = 1
reset = 0x11
[[register]]
name = "ID"
index = 2
reset = 0x42
access = "read-only"
[[register]]
name = "DATA"
index = 3
access = "write-only"
fill = 0xEE
[[register]]
name = "W1C"
index = 4
reset = 0xFF
write = "oneToClear"
[[register]]
name = "CTRL"
index = 5
  [[register.field]]
  name = "START"
  bits = 0
  [[register.field]]
  name = "MODE"
  bits = "2:1"
  values = { single = 1, test = 3 }
[[register]]
name = "BOARD"
index = 7
reset = "machine"
access = "read-only"
[[register]]
name = "W1S"
index = 10
write = "oneToSet"
[[register]]
name = "W1T"
index = 11
reset = 0x0F
write = "oneToToggle"
[[register]]
name = "RC"
index = 12
reset = 0x5A
read = "clear"
[[register]]
name = "RS"
index = 13
read = "set"
[[register]]
name = "SEQ"
index = 14
source = { sequence = "seq.txt" }
[[register]]
name = "LOOP"
index = 15
source = { sequence = "seq.txt", loop = true }
[[register]]
name = "CNT"
index = 16
source = { counter = { start = 0xFE, step = 3 } }
[[register]]
name = "K"
index = 17
source = { constant = 0x5A }
[csr]
reset = 0x80
  [[csr.field]]
  name = "PENDING"
  bits = 0
  [[csr.field]]
  name = "IE"
  bits = 2
  [[csr.field]]
  name = "DONE"
  bits = 4
[[command]]
byte = 0xC0
name = "reset"
actions = ["reset"]
[[command]]
byte = 0x0C
actions = ["set csr.IE"]
[[command]]
byte = 0x08
actions = ["clear csr.IE"]
[[command]]
byte = 0x03
actions = ["clear csr.PENDING"]
[[command]]
byte = 0x20
actions = ["write SEQ 0x99", "write CTRL.MODE test", "toggle PLAIN"]
[interrupt]
pending = "csr.PENDING"
enable = "csr.IE"
[[event]]
after_write = "CTRL.START"
delay_us = 500
actions = ["set csr.PENDING", "set csr.DONE", "clear CTRL.START"]
)";

// A periodic event (line 19), two after-write ones due at once (22, 26)
// and one they arm (30).
const char* const kTimed = R"([[register]]
name = "A"
index = 1
[[register]]
name = "B"
index = 2
[[register]]
name = "C"
index = 3
[csr]
  [[csr.field]]
  name = "PENDING"
  bits = 0
[[command]]
byte = 0xC0
actions = ["reset"]
[interrupt]
pending = "csr.PENDING"
[[event]]
every_us = 1000
actions = ["toggle csr.PENDING"]
[[event]]
after_write = "A"
delay_us = 200
actions = ["set B"]
[[event]]
after_write = "A"
delay_us = 200
actions = ["clear B"]
[[event]]
after_write = "B"
delay_us = 50
actions = ["write C 0x07"]
)";

const char* const kEveryMicrosecond = R"([[register]]
name = "A"
index = 1
[[event]]
every_us = 1
actions = ["toggle A"]
)";

const char* const kAcquisition = "acquisition";  // the example model, from its file

struct Row {
    const char* what;
    const char* model;
    // @T: the time is T us; rI=VV: reading register I gives VV (hex); wI:VV:
    // write VV; s=VV: the status reads VV; cVV: command VV; i+ / i-: the
    // interrupt is asserted or not; pI=VV: Peek gives VV.
    const char* steps;
    std::vector<std::string> log;  // lines or parts of them, in this order
};

const Row kRows[] = {
    {"read-write: stored; the reset value replaces the machine's byte", kCard, "r1=11 w1:3C r1=3C",
     {"read PLAIN (1) = 0x11", "write PLAIN (1) 0x3C", "read PLAIN (1) = 0x3C"}},
    {"read-only: writes ignored", kCard, "w2:03 r2=42", {"write ID (2) 0x03 ignored: read-only"}},
    {"write-only: reads give fill, the card holds the write", kCard, "w3:12 r3=EE p3=12",
     {"read DATA (3) = 0xEE (write-only: fill)"}},
    {"oneToClear", kCard, "w4:0F r4=F0", {"write W1C (4) 0x0F (oneToClear: now 0xF0)"}},
    {"oneToSet", kCard, "w10:01 w10:80 r10=81", {}},
    {"oneToToggle", kCard, "w11:03 r11=0C", {}},
    {"read clear", kCard, "r12=5A r12=00", {"read RC (12) = 0x5A, then clear"}},
    {"read set", kCard, "r13=00 r13=FF", {"read RS (13) = 0x00, then set"}},
    {"sequence: the last repeats", kCard, "p14=01 r14=01 r14=02 r14=03 r14=03", {}},
    {"sequence with loop: starts over", kCard, "r15=01 r15=02 r15=03 r15=01", {}},
    {"counter: start, then step more mod 256", kCard, "r16=FE r16=01 r16=04", {}},
    {"constant", kCard, "r17=5A r17=5A", {}},
    {"a write into a source is read once, then the source goes on", kCard,
     "r14=01 w14:77 p14=77 r14=77 r14=02 w16:00 r16=00 r16=FE", {}},
    {"an action's write into a source, into a field, a toggle", kCard, "r14=01 c20 r14=99 r14=02 r5=06 r1=EE",
     {"command 0x20: write SEQ 0x99, write CTRL.MODE test, toggle PLAIN"}},
    {"reset: values, sources and status back", kCard,
     "r14=01 r14=02 r16=FE w1:00 w5:06 r12=5A cC0 r14=01 r16=FE r1=11 r5=00 r12=5A s=80",
     {"command 0xC0 (reset): reset"}},
    {"an unnamed register keeps the machine's byte and resets to it", kCard, "r6=08 w6:33 r6=33 cC0 r6=08",
     {"read 6 = 0x08", "write 6 0x33"}},
    {"reset = machine", kCard, "r7=03 cC0 r7=03", {"read BOARD (7) = 0x03"}},
    {"status and commands", kCard, "s=80 c0C s=84 c08 s=80",
     {"status = 0x80", "command 0x0C: set csr.IE", "status = 0x84", "command 0x08: clear csr.IE"}},
    {"an unknown command is ignored", kCard, "c55 s=80", {"command 0x55: no such command, ignored"}},
    {"after-write: fires at its delay, not before", kCard, "w5:01 @499 s=80 r5=01 @500 s=91 r5=00",
     {"write CTRL (5) 0x01: arms event at line 100 (in 500 us)", "status = 0x80",
      "event at line 100: set csr.PENDING, set csr.DONE, clear CTRL.START", "status = 0x91"}},
    {"interrupt: pending and enable", kCard, "w5:01 @500 s=91 i- c0C i+ c03 i- s=94",
     {"command 0x0C: set csr.IE", "interrupt asserted", "command 0x03", "interrupt released"}},
    {"a write that leaves the field 0 arms nothing", kCard, "w5:06 @1000 s=80", {}},
    {"re-arming restarts the delay", kCard, "w5:01 @400 w5:01 @600 s=80 @899 s=80 @900 s=91", {}},
    {"reset drops armed events", kCard, "w5:01 @100 cC0 @1000 s=80", {}},
    {"periodic: from the start; pending alone asserts without enable", kTimed,
     "@999 s=00 i- @1000 s=01 i+ @2000 s=00 i-", {"event at line 19: toggle csr.PENDING", "interrupt asserted"}},
    {"periodic: counted again from a reset", kTimed, "@1500 cC0 s=00 @2499 s=00 @2500 s=01", {}},
    {"events fire in the order they came due, ties in the file's order, armed ones in the same pass",
     kTimed, "w1:01 @1000 r2=00 r3=07",
     {"write A (1) 0x01: arms event at line 22 (in 200 us), arms event at line 26 (in 200 us)",
      "event at line 22: set B, arms event at line 30 (in 50 us)", "event at line 26: clear B",
      "event at line 30: write C 0x07", "event at line 19: toggle csr.PENDING", "read B (2) = 0x00"}},
    {"a long sleep: at most 65536 firings an access", kEveryMicrosecond, "@1000000 r1=00 @1000001 r1=FF",
     {"event at line 4: fired 65536 times in this access, the rest dropped", "read A (1) = 0x00",
      "event at line 4: toggle A", "read A (1) = 0xFF"}},
    {"the example: reset, enable, start, poll, acknowledge, read", kAcquisition,
     "cC0 c0C s=04 r6=08 w5:01 s=24 @299 s=24 i- @300 s=15 i+ r5=00 c03 s=14 i- r8=80 r8=83 @10000 s=94",
     {"command 0xC0 (reset): reset",
      "write CTRL (5) 0x01: arms event at line 76 (in 0 us), arms event at line 82 (in 300 us)",
      "event at line 76: set csr.BUSY, clear csr.DONE", "status = 0x24",
      "event at line 82: clear csr.BUSY, set csr.DONE, set csr.PENDING, clear CTRL.START",
      "interrupt asserted",
      "command 0x03 (acknowledge): clear csr.PENDING", "interrupt released", "read RESULT (8) = 0x80"}},
};

uint8_t Byte(const std::string& hex) { return static_cast<uint8_t>(std::stoul(hex, nullptr, 16)); }

// Runs one step; a failure names it.
void Step(CardState& card, const std::string& step, uint64_t* now) {
    const size_t sign = step.find_first_of("=:");
    const std::string value = sign == std::string::npos ? "" : step.substr(sign + 1);
    const auto index = [&] { return static_cast<uint8_t>(std::stoul(step.substr(1, sign - 1))); };
    SCOPED_TRACE(step);
    switch (step[0]) {
    case '@': *now = std::stoull(step.substr(1)); break;
    case 'r': EXPECT_EQ(card.Read(index(), *now), Byte(value)); break;
    case 'p': EXPECT_EQ(card.Peek(index()), Byte(value)); break;
    case 'w': card.Write(index(), Byte(value), *now); break;
    case 's': EXPECT_EQ(card.ReadStatus(*now), Byte(value)); break;
    case 'c': card.Command(Byte(step.substr(1)), *now); break;
    case 'i': EXPECT_EQ(card.InterruptAsserted(), step[1] == '+'); break;
    default: FAIL() << "no such step";
    }
}

std::shared_ptr<const CardModel> Load(const char* model) {
    std::vector<Problem> problems;
    std::shared_ptr<const CardModel> loaded =
        model == kAcquisition ? ReadCardModel(test_support::SourcePath(kAcquisitionModel), &problems)
                              : ParseCardModel(model, "test.toml", ReadFakeFile, &problems);
    for (const Problem& problem : problems)
        ADD_FAILURE() << problem.Text();
    return loaded;
}

TEST(CardState, BehavesAsTheModelSays) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.what);
        std::shared_ptr<const CardModel> model = Load(row.model);
        ASSERT_TRUE(model);
        uint8_t initial[kRegisterCount] = {};
        initial[1] = 0x99, initial[6] = 0x08, initial[7] = 0x03;
        CardState card(model, initial, 0);
        std::vector<std::string> log;
        card.SetLog([&](const std::string& line) { log.push_back(line); });
        std::istringstream steps(row.steps);
        uint64_t now = 0;
        for (std::string step; steps >> step;)
            Step(card, step, &now);
        EXPECT_TRUE(InOrder(log, row.log));
    }
}

}  // namespace
}  // namespace quorel::card_model
