// `quorel replay check`, and the tool's card commands on the default
// machine replaying a trace (QUOREL_SIM_REPLAY) whose card 0 is 00:05.0.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "temp_folder.h"
#include "test_files.h"
#include "tool_runner.h"
#include "trace_text.h"

namespace {

// %T stands for the trace, %B for a file that is no trace, %S for a
// snapshot whose machine has its card at 00:03.0. Exit 0: `out` is found
// on stdout; `err` on stderr.
struct ReplayRun {
    const char* args;
    const char* env;
    int exit_code;
    const char* out;
    const char* err;
};

const ReplayRun kRuns[] = {
    {"replay check %T", "", 0,
     "card 00:05.0: Quorel_open(0) at line 2 (#1)\n  offset  register          reads  writes\n"
     "      20  5                     1       1\n",
     ""},
    {"replay check %T --json", "", 0,
     R"j({"location": "00:05.0", "opens": ["Quorel_open(0) at line 2 (#1)"], "threads": [7], )j"
     R"j("in_snapshot": null, "registers": [{"offset": 20, "name": "register 5", "reads": 1, "writes": 1}]})j",
     ""},
    {"replay check %T --snapshot %S", "", 0,
     "not replayed:\n  card 00:05.0: is not in the snapshot's machine\n", ""},
    {"replay check %B", "", 1, "", "quorel: %B:1: not a trace: expected the line"},
    {"replay check %B --json", "", 1, R"({"ok": false, "reason": "%B:1: not a trace)", ""},
    {"replay frob %T", "", 2, "", "the replay action must be check, not 'frob'"},
    {"read 0 5", "QUOREL_SIM_REPLAY=%T", 0, "0x77", ""},
    {"write 0 5 0x33", "QUOREL_SIM_REPLAY=%T", 0, "",
     "quorel-sim: replay: card 00:05.0: a write of 0x33 to register 5 where %T:6 (#3) has "
     "Quorel_out(5, 0x34), a write of 0x34 to register 5; the run goes on"},
    {"cards", "QUOREL_SIM_REPLAY=%B", 0, "",
     "quorel-sim: replay refused: %B:1: not a trace: expected the line 'Quorel trace: version ...'"},
};

std::string Filled(std::string text, const std::string& trace, const std::string& bad,
                   const std::string& snapshot) {
    for (size_t at = 0; (at = text.find('%', at)) != std::string::npos;)
        text.replace(at, 2, text[at + 1] == 'T' ? trace : text[at + 1] == 'B' ? bad : snapshot);
    return text;
}

TEST(ReplayCheck, EachCommandLineGivesItsOutputOrItsError) {
    const std::string trace = test_support::TempPath("trace"), bad = test_support::TempPath("bad"),
                      snapshot = test_support::TempPath("snapshot");
    test_support::WriteFile(trace, test_support::TraceText(
                                       {"Quorel_open(0) = 0", "    card 0: 00:05.0, type 1, BAR0 0xFD000000",
                                        "    MapPhysToLin(address 0xFD000000, length 0x400000) = 0x1",
                                        "Quorel_in(5) = 0x77", "Quorel_out(5, 0x34) = 0"}));
    test_support::WriteFile(bad, "Quorel_in(5) = 0x77\n");
    std::filesystem::create_directory(snapshot);
    const std::string machine =
        test_support::ReadFile(test_support::SourcePath("backends/sim/machines/default.lspci"));
    test_support::WriteFile(snapshot + "/machine.txt", machine.substr(0, machine.find("00:05.0 ")));
    for (const ReplayRun& expected : kRuns) {
        const std::string args = Filled(expected.args, trace, bad, snapshot);
        SCOPED_TRACE(args);
        auto run = test_support::RunTool(args, "", Filled(expected.env, trace, bad, snapshot));
        EXPECT_EQ(run.exit_code, expected.exit_code) << run.err;
        EXPECT_NE(run.out.find(Filled(expected.out, trace, bad, snapshot)), std::string::npos) << run.out;
        EXPECT_NE(run.err.find(Filled(expected.err, trace, bad, snapshot)), std::string::npos) << run.err;
    }
}

}  // namespace
