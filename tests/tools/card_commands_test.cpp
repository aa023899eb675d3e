// The tool's card commands as a user runs them, on the simulator's default
// machine: type-1 cards at 00:05.0 (board byte 0x08, status 0x11) and
// 01:00.0 (0x80, 0x22), the type-2 card at 01:01.0 (0x88, 0x33).
#include <gtest/gtest.h>

#include <string>

#include "tool_runner.h"

namespace {

using test_support::RunTool;

// A command line and what it must give: exit 0 with exactly `out`, or
// another exit with `out` found in the error output and nothing on stdout.
struct ToolRun {
    const char* args;
    int exit_code;
    const char* out;
};

const ToolRun kRuns[] = {
    {"cards", 0,
     "POS  TYPE  LOCATION  BAR0        WINDOW\n"
     "0    1     00:05.0   0xfd000000  0x400000\n"
     "1    1     01:00.0   0xfc800000  0x400000\n"
     "2    2     01:01.0   0xfebff000  0x400\n"},
    {"boards", 0,
     "BOARD  PRESENT  POS  TYPE  LOCATION  BAR0        WINDOW\n"
     "0      no\n"
     "1      yes      0    1     00:05.0   0xfd000000  0x400000\n"
     "2      yes      1    1     01:00.0   0xfc800000  0x400000\n"
     "3      yes      2    2     01:01.0   0xfebff000  0x400\n"},
    {"read 0 6", 0, "0x08\n"},
    {"read 0x2 6", 0, "0x88\n"},
    {"read --board 2 6 --json", 0, "{\"board\": 2, \"value\": 128}\n"},
    {"status 1", 0, "0x22\n"},
    {"status --board 3 --json", 0, "{\"board\": 3, \"status\": 51}\n"},
    {"write 2 5 0xab", 0, ""},
    {"write --board 1 254 255", 0, ""},
    {"reset 0", 0, ""},
    {"irq --board 3 ack", 0, ""},
    {"version", 0, "Velmar QUOREL DLL V1.01\n"},
    {"version --json", 0, "{\"major\": 1, \"minor\": 1}\n"},
    // Bad arguments get the usage.
    {"read 0 255", 2, "REG must be 0 to 254"},
    {"read 0 -1", 2, "usage: quorel read"},
    {"read --board 0 1 2", 2, "too many arguments"},
    {"read --board 4 1", 2, "board ID must be 0 to 3"},
    {"read zero 1", 2, "POS must be a card position"},
    {"read 0x100000000 1", 2, "POS must be a card position"},
    {"write 0 5 256", 2, "VALUE must be 0 to 255"},
    {"write 0 5", 2, "usage: quorel write"},
    {"irq 0 maybe", 2, "ACTION is enable, disable or ack"},
    {"status", 2, "usage: quorel status"},
    // A missing card fails.
    {"read 3 1", 1, "no card at position 3"},
    {"status -1", 1, "no card at position -1"},
    {"dump --board 0", 1, "no card reports board ID 0"},
};

TEST(CardCommands, EachCommandLineGivesItsOutputOrItsError) {
    for (const ToolRun& expected : kRuns) {
        SCOPED_TRACE(expected.args);
        auto run = RunTool(expected.args);
        EXPECT_EQ(run.exit_code, expected.exit_code) << run.err;
        if (expected.exit_code == 0) {
            EXPECT_EQ(run.out, expected.out);
        } else {
            EXPECT_NE(run.err.find(expected.out), std::string::npos) << run.err;
            EXPECT_EQ(run.out, "");
        }
    }
}

TEST(CardCommands, JsonListsOfCardsAndBoards) {
    auto cards = RunTool("cards --json");
    EXPECT_NE(cards.out.find(R"({"position": 2, "type": 2, "location": "01:01.0", )"
                             R"("bar0": 4273991680, "window_length": 1024})"),
              std::string::npos)
        << cards.out;
    auto boards = RunTool("boards --json");
    EXPECT_NE(boards.out.find(R"([{"board": 0, "present": false}, {"board": 1, "present": true, )"
                              R"("position": 0, )"),
              std::string::npos)
        << boards.out;
}

TEST(CardCommands, DumpShowsEveryRegisterAndTheStatus) {
    auto text = RunTool("dump 1");
    ASSERT_EQ(text.exit_code, 0) << text.err;
    EXPECT_NE(text.out.find("\n00:  00 00 00 00 00 00 80 00"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("\nf0:  00 00 00 00 00 00 00 00 00 00 00 00 00 00 00\nstatus: 0x22\n"),
              std::string::npos)
        << text.out;
    auto json = RunTool("dump --board 3 --json");
    ASSERT_EQ(json.exit_code, 0) << json.err;
    EXPECT_EQ(json.out.rfind("{\"board\": 3, \"registers\": [0, 0, 0, 0, 0, 0, 136, 0, ", 0), 0u);
    EXPECT_NE(json.out.find("0, 0], \"status\": 51}\n"), std::string::npos) << json.out;
}

// One form per kind of value, whichever command prints it: card 0's BAR0
// and card 2's status byte; hexadecimal with 0x in text, numbers in JSON.
TEST(CardCommands, EachKindOfValueHasOneFormInTextAndOneInJson) {
    const std::pair<const char*, const char*> seen[] = {
        {"cards", "   0xfd000000  "},
        {"doctor", "    bar0               0xfd000000\n"},
        {"list", "   [0]=0xfd000000\n"},
        {"cards --json", R"("bar0": 4244635648,)"},
        {"doctor --json", R"("bar0": 4244635648,)"},
        {"list --json", R"("address": 4244635648})"},
        {"status 2", "0x33\n"},
        {"dump 2", "\nstatus: 0x33\n"},
        {"status 2 --json", R"("status": 51})"},
        {"dump 2 --json", R"("status": 51})"},
        {"doctor --json", R"("initialisation": 1,)"},
    };
    for (const auto& [args, form] : seen) {
        auto run = RunTool(args);
        EXPECT_NE(run.out.find(form), std::string::npos) << args << ": " << run.out;
    }
}

}  // namespace
