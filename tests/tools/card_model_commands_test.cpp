// The card commands with a card model (--model) over the simulator's
// default machine, whose card 0 (00:05.0) is given CTRL = 0x05 and
// EVENTS = 0x03 here, `quorel watch` through a pipe (one frame) with and
// without the model, and `quorel model check`.
#include <gtest/gtest.h>

#include <string>

#include "temp_folder.h"
#include "test_files.h"
#include "tool_runner.h"

namespace {

constexpr char kModel[] = R"(name = "Test counter"
[[register]]
name = "CTRL"
index = 5
  [[register.field]]
  name = "START"
  bits = "0"
  [[register.field]]
  name = "MODE"
  bits = "3:1"
  values = { idle = 0, single = 1, continuous = 2 }
[[register]]
name = "BOARD_ID"
index = 6
access = "read-only"
  [[register.field]]
  name = "ID"
  bits = "7:0"
[[register]]
name = "EVENTS"
index = 7
write = "oneToClear"
read = "clear"
  [[register.field]]
  name = "DONE"
  bits = "0"
[[register]]
name = "FIFO"
index = 9
source = { counter = { start = 0, step = 1 } }
  [[register.field]]
  name = "LOW"
  bits = "3:0"
[[register]]
name = "CMD"
index = 10
access = "write-only"
  [[register.field]]
  name = "GO"
  bits = "0"
[csr]
  [[csr.field]]
  name = "PENDING"
  bits = "0"
  [[csr.field]]
  name = "IE"
  bits = "2"
[interrupt]
pending = "csr.PENDING"
enable = "csr.IE"
)";

// A register index out of range, on line 4.
constexpr char kBadModel[] = "name = \"Bad\"\n[[register]]\nname = \"A\"\nindex = 300\n";

// %M stands for the model, %B for the bad one. Exit 0: `out` is found on
// stdout; else `err` on stderr, and stdout holds `out` ("": nothing).
struct ModelRun {
    const char* args;
    int exit_code;
    const char* out;
    const char* err;
};

const ModelRun kRuns[] = {
    {"read 0 BOARD_ID --model %M", 0, "0x08  BOARD_ID  ID=8\n", ""},
    {"read 0 CTRL.MODE --model %M", 0, "2 (continuous)\n", ""},
    {"read 0 5 --model %M --json", 0,
     R"({"position": 0, "value": 5, "name": "CTRL", "index": 5, "fields": {"START": 1, "MODE": 2}})",
     ""},
    {"read 0 EVENTS --model %M", 0, "0x03  EVENTS  DONE=1\n", ""},  // asked by name: read
    {"write 0 CTRL.MODE single --model %M", 0, "CTRL (register 5): 0x05 -> 0x03\n", ""},
    {"write 0 CTRL.MODE 0x7 --model %M", 0, "CTRL (register 5): 0x05 -> 0x0f\n", ""},
    {"write 0 EVENTS.DONE 1 --model %M", 0, "EVENTS (register 7): 0x01 written (oneToClear)\n", ""},
    {"write 0 FIFO.LOW 1 --model %M", 1, "",
     "FIFO.LOW (register 9, bits 3:0) cannot be written alone: that reads FIFO first, and a "
     "read changes the card (source advances); write the whole register instead: quorel write "
     "0 FIFO VALUE"},
    {"write 0 CMD.GO 1 --model %M", 1, "", "CMD is write-only (reads return 0x00)"},
    {"write --board 1 BOARD_ID.ID 3 --model %M", 1, "",
     "BOARD_ID is read-only, the card ignores writes"},
    {"read 0 CTL --model %M", 2, "",
     "the card model names no register 'CTL'; its registers: CTRL (5), BOARD_ID (6), EVENTS (7), "
     "FIFO (9), CMD (10)"},
    {"read 0 CTRL.SPEED --model %M", 2, "",
     "CTRL (register 5) has no field 'SPEED'; its fields: START, MODE"},
    {"write 0 CTRL.MODE fast --model %M", 2, "",
     "must be 0 to 7 or one of its values' names: idle, single, continuous, not 'fast'"},
    {"read 0 CTRL", 2, "", "no card model is in use (give one with --model PATH)"},
    {"status 0 --model %M", 0, "0x11  PENDING=1 IE=0\ninterrupt: pending 1, enable 0\n", ""},
    {"dump 0 --model %M", 0, "\n00:  00 00 00 00 00 05 08 -- 00 -- 00 00 00 00 00 00\n", ""},
    {"dump 0 --model %M", 0,
     "\nstatus: 0x11  PENDING=1 IE=0\n"
     "interrupt: pending 1, enable 0\n"
     "5    CTRL      0x05  START=1 MODE=2 (continuous)\n"
     "6    BOARD_ID  0x08  ID=8\n"
     "7    EVENTS    not read (read clears)\n"
     "9    FIFO      not read (source advances)\n"
     "10   CMD       write-only (reads 0x00)\n",
     "registers not read change the card when read; --all reads them too"},
    {"dump 0 --model %M --all", 0, "7    EVENTS    0x03  DONE=1\n", ""},
    {"dump 0 --model %M --json", 0,
     R"({"index": 7, "name": "EVENTS", "value": null, "not_read": "read clears"})", ""},
    {"watch 0", 0, "\n00:  00 00 00 00 00 05 08 03 00 00 00 00 00 00 00 00\n", ""},
    {"watch 0", 0, "\nstatus: 0x11  00010001  changed -\n", ""},
    {"watch --board 1 --once --json", 0, R"({"board": 1, "registers": [0, 0, 0, 0, 0, 5, 8, 3, 0, )",
     ""},
    {"watch 0 --model %M", 0,
     "\n5   CTRL      0x05 00000101 -            START=1 MODE=2 (continuous)\n"
     "6   BOARD_ID  0x08 00001000 -            ID=8\n"
     "7   EVENTS    --   --       -            not read (read clears)\n"
     "9   FIFO      --   --       -            not read (source advances)\n"
     "10  CMD       --   --       -            not read (write-only, reads 0x00)\n"
     "255 csr       0x11 00010001 -            PENDING=1 IE=0\n"
     "interrupt: pending 1, enable 0, asserted 0\n",
     ""},
    {"watch 0 --model %M --all --once", 0, "\n7   EVENTS    0x03 00000011 -            DONE=1\n", ""},
    {"watch 0 --model %M --once --json", 0,
     R"({"index": 7, "name": "EVENTS", "value": null, "not_read": "read clears"}, )", ""},
    {"watch 0 --model %M --once --json", 0,
     R"("interrupt": {"pending": true, "enable": false, "asserted": false}})", ""},
    {"watch 0 -n 0.01", 2, "", "-n must be a number of seconds from 0.05 to 3600"},
    {"watch 0 -n", 2, "", "-n needs a number of seconds"},
    {"watch 0 --json", 2, "", "--json prints one frame: give --once too"},
    {"model check %M", 0,
     "model: Test counter (%M)\nregisters: 5\n"
     "  5    CTRL      read-write, reset 0x00  START[0] MODE[3:1]\n",
     ""},
    {"model check %M --json", 0,
     R"({"ok": true, "name": "Test counter", "file": "%M", "registers": [{"index": 5, )", ""},
    {"model check %B", 1, "", "the card model %B does not load (1 problem):\n%B:4: "},
    {"read 0 5 --model %B --json", 1,
     R"j({"ok": false, "reason": "the card model %B does not load (1 problem)", )j", "%B:4: "},
};

std::string Filled(std::string text, const std::string& model, const std::string& bad) {
    for (size_t at = 0; (at = text.find('%', at)) != std::string::npos;)
        text.replace(at, 2, text[at + 1] == 'M' ? model : bad);
    return text;
}

TEST(CardModelCommands, EachCommandLineGivesItsOutputOrItsError) {
    const std::string model = test_support::TempPath("model.toml"),
                      bad = test_support::TempPath("bad.toml");
    const std::string machine = test_support::TempPath("machine");
    test_support::WriteFile(model, kModel);
    test_support::WriteFile(bad, kBadModel);
    test_support::WriteFile(
        machine,
        test_support::ReadFile(test_support::SourcePath("backends/sim/machines/default.lspci")) +
            "window 00:05.0 0x14 05\nwindow 00:05.0 0x1c 03\n");
    for (const ModelRun& expected : kRuns) {
        const std::string args = Filled(expected.args, model, bad);
        SCOPED_TRACE(args);
        auto run = test_support::RunTool(args, machine);
        EXPECT_EQ(run.exit_code, expected.exit_code) << run.err;
        EXPECT_NE(run.out.find(Filled(expected.out, model, bad)), std::string::npos) << run.out;
        EXPECT_NE(run.err.find(Filled(expected.err, model, bad)), std::string::npos) << run.err;
        if (expected.exit_code != 0 && !*expected.out) {
            EXPECT_EQ(run.out, "");
        }
    }
}

}  // namespace
