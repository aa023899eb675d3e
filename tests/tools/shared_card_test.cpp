// Two processes, one simulated card (QUOREL_SIM_SHARED): the quorel tool run
// again and again, each run a process of its own, on the default machine,
// plain and with the example card model; machines and models that differ
// from the shared one, and a name that is none, are refused with one line
// and run unshared.
#include <sys/mman.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

#include "temp_folder.h"
#include "test_files.h"
#include "tool_runner.h"

namespace {

// Who runs: P and M share a plain and a modelled machine under their names;
// U and V (with the model) share nothing; X has another machine (register
// 5 of card 0 is 0x05) under P's name, N the model under P's; B gives a
// name that is none.
struct SharedRun {
    char who;
    const char* args;
    const char* out;  // found on stdout
    const char* err;  // found once on stderr; "": nothing there
};

const SharedRun kRuns[] = {
    {'P', "write 0 5 0x42", "", ""},
    {'P', "read 0 5", "0x42\n", ""},
    {'U', "read 0 5", "0x00\n", ""},
    {'P', "write --board 2 7 0x99", "", ""},
    {'P', "read 1 7", "0x99\n", ""},  // board 2 is card 1
    {'X', "read 0 5", "0x05\n", "QUOREL_SIM_SHARED=%P: another machine is shared under this name"},
    {'N', "read 0 5", "0x00  CTRL",
     "QUOREL_SIM_SHARED=%P: card 00:05.0 follows a card model here but is plain memory in the "
     "processes that share it: give every process the same card models, or choose another name; this "
     "process simulates its machine unshared\n"},
    {'B', "read 0 5", "0x00\n",
     "QUOREL_SIM_SHARED=a/b: not a name for shared memory: use letters, digits, '.', '_' and '-' (at "
     "most 64); this process simulates its machine unshared\n"},
    {'M', "reset 0", "", ""},
    {'M', "irq 0 enable", "", ""},
    {'M', "write 0 CTRL 1", "", ""},
    {'M', "status 0", "PENDING=1 IE=1 DONE=1 BUSY=0", ""},  // 300 us later: this run's start takes more
    {'M', "irq 0 ack", "", ""},
    {'M', "status 0", "PENDING=0 IE=1 DONE=1", ""},
    {'M', "read 0 RESULT", "0x80  RESULT", ""},
    {'M', "read 0 RESULT", "0x83  RESULT", ""},
    {'V', "read 0 RESULT", "0x80  RESULT", ""},
};

// Removes the shared memory named `name` when the test ends, passed or not.
struct Unlinked {
    std::string name;
    ~Unlinked() { shm_unlink(("/quorel-sim-" + name).c_str()); }
};

std::string Filled(std::string text, const std::string& plain, const std::string& model) {
    for (size_t at = 0; (at = text.find('%', at)) != std::string::npos;)
        text.replace(at, 2, text[at + 1] == 'P' ? plain : model);
    return text;
}

TEST(SharedCard, ProcessesSeeOneCard) {
    const std::string plain = "tool-test-" + std::to_string(getpid()), modelled = plain + "-model";
    const Unlinked unlinked[] = {{plain}, {modelled}};
    const std::string model = test_support::SourcePath("backends/sim/models/acquisition.toml");
    const std::string other = test_support::TempPath("other.lspci");
    test_support::WriteFile(other, test_support::ReadFile(test_support::SourcePath(
                                       "backends/sim/machines/default.lspci")) + "window 00:05.0 0x14 05\n");
    for (const SharedRun& expected : kRuns) {
        const std::string args = Filled(expected.args, plain, model);
        SCOPED_TRACE(std::string(1, expected.who) + ": " + args);
        std::string env = expected.who == 'M' ? "QUOREL_SIM_SHARED=" + modelled + " QUOREL_SIM_MODEL=" + model
                          : expected.who == 'B' ? "QUOREL_SIM_SHARED=a/b"
                          : expected.who == 'U' || expected.who == 'V' ? "-u QUOREL_SIM_SHARED"
                                                : "QUOREL_SIM_SHARED=" + plain;
        env += expected.who == 'N' || expected.who == 'V' ? " QUOREL_SIM_MODEL=" + model : "";
        auto run = test_support::RunTool(args, expected.who == 'X' ? other : "", env);
        EXPECT_EQ(run.exit_code, 0) << run.err;
        EXPECT_NE(run.out.find(expected.out), std::string::npos) << run.out;
        const std::string err = Filled(expected.err, plain, model);
        if (err.empty())
            EXPECT_EQ(run.err, "");
        else
            EXPECT_EQ(test_support::Count(run.err, err), 1u) << run.err;
    }
}

}  // namespace
