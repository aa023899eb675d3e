// The tool's card commands as a user runs them, on the simulator's default
// machine: type-1 cards at 00:05.0 (board byte 0x08, status 0x11) and
// 01:00.0 (0x80, 0x22), the type-2 card at 01:01.0 (0x88, 0x33).
#include <gtest/gtest.h>

#include <string>

#include "traced.h"
#include "tool_runner.h"

namespace {

using test_support::RunTool;

void ExpectOutput(const std::string& args, const std::string& out) {
    auto run = RunTool(args);
    EXPECT_EQ(run.exit_code, 0) << args << "\n" << run.err;
    EXPECT_EQ(run.out, out) << args;
}

void ExpectExit(const std::string& args, int code, const std::string& message) {
    auto run = RunTool(args);
    EXPECT_EQ(run.exit_code, code) << args;
    EXPECT_NE(run.err.find(message), std::string::npos) << args << "\n" << run.err;
    EXPECT_EQ(run.out, "") << args;
}

TEST(CardCommands, CardsInSearchOrder) {
    TRACED(ExpectOutput("cards",
                        "POS  TYPE  LOCATION  BAR0      WINDOW\n"
                        "0    1     00:05.0   fd000000  0x400000\n"
                        "1    1     01:00.0   fc800000  0x400000\n"
                        "2    2     01:01.0   febff000  0x400\n"));
    auto json = RunTool("cards --json");
    EXPECT_NE(json.out.find(R"({"position": 2, "type": 2, "location": "01:01.0", )"
                            R"("bar0": 4273991680, "window_length": 1024})"),
              std::string::npos)
        << json.out;
}

TEST(CardCommands, BoardsByReportedId) {
    TRACED(ExpectOutput("boards",
                        "BOARD  PRESENT  POS  TYPE  LOCATION  BAR0      WINDOW\n"
                        "0      no\n"
                        "1      yes      0    1     00:05.0   fd000000  0x400000\n"
                        "2      yes      1    1     01:00.0   fc800000  0x400000\n"
                        "3      yes      2    2     01:01.0   febff000  0x400\n"));
    auto json = RunTool("boards --json");
    EXPECT_NE(json.out.find(R"([{"board": 0, "present": false}, {"board": 1, "present": true, )"
                            R"("position": 0, )"),
              std::string::npos)
        << json.out;
}

TEST(CardCommands, RegistersAndStatusByPositionOrBoard) {
    TRACED(ExpectOutput("read 0 6", "0x08\n"));
    TRACED(ExpectOutput("read 0x2 6", "0x88\n"));
    TRACED(ExpectOutput("read --board 2 6 --json", "{\"board\": 2, \"value\": 128}\n"));
    TRACED(ExpectOutput("status 1", "0x22\n"));
    TRACED(ExpectOutput("status --board 3 --json", "{\"board\": 3, \"status\": 51}\n"));
    TRACED(ExpectOutput("write 2 5 0xab", ""));
    TRACED(ExpectOutput("write --board 1 254 255", ""));
    TRACED(ExpectOutput("reset 0", ""));
    TRACED(ExpectOutput("irq --board 3 ack", ""));
}

TEST(CardCommands, DumpShowsEveryRegisterAndTheStatus) {
    auto text = RunTool("dump 1");
    ASSERT_EQ(text.exit_code, 0) << text.err;
    EXPECT_NE(text.out.find("\n00:  00 00 00 00 00 00 80 00"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("\nf0:  00 00 00 00 00 00 00 00 00 00 00 00 00 00 00\nstatus: 22\n"),
              std::string::npos)
        << text.out;
    auto json = RunTool("dump --board 3 --json");
    ASSERT_EQ(json.exit_code, 0) << json.err;
    EXPECT_EQ(json.out.rfind("{\"board\": 3, \"registers\": [0, 0, 0, 0, 0, 0, 136, 0, ", 0), 0u);
    EXPECT_NE(json.out.find("0, 0], \"status\": 51}\n"), std::string::npos) << json.out;
}

TEST(CardCommands, Version) {
    TRACED(ExpectOutput("version", "Velmar QUOREL DLL V1.01\n"));
    TRACED(ExpectOutput("version --json", "{\"major\": 1, \"minor\": 1}\n"));
}

TEST(CardCommands, BadArgumentsGetUsage) {
    TRACED(ExpectExit("read 0 255", 2, "REG must be 0 to 254"));
    TRACED(ExpectExit("read 0 -1", 2, "usage: quorel read"));
    TRACED(ExpectExit("read --board 0 1 2", 2, "too many arguments"));
    TRACED(ExpectExit("read --board 4 1", 2, "board ID must be 0 to 3"));
    TRACED(ExpectExit("read zero 1", 2, "POS must be a card position"));
    TRACED(ExpectExit("read 0x100000000 1", 2, "POS must be a card position"));
    TRACED(ExpectExit("write 0 5 256", 2, "VALUE must be 0 to 255"));
    TRACED(ExpectExit("write 0 5", 2, "usage: quorel write"));
    TRACED(ExpectExit("irq 0 maybe", 2, "ACTION is enable, disable or ack"));
    TRACED(ExpectExit("status", 2, "usage: quorel status"));
}

TEST(CardCommands, MissingCardFails) {
    TRACED(ExpectExit("read 3 1", 1, "no card at position 3"));
    TRACED(ExpectExit("status -1", 1, "no card at position -1"));
    TRACED(ExpectExit("dump --board 0", 1, "no card reports board ID 0"));
}

}  // namespace
