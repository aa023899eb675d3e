// What the tool and the stand-in say about the machine they replay: one
// function's dump wherever it sits, each message once however often the
// driver is initialised, a snapshot folder that is none, and the machine
// the doctor names.
#include <gtest/gtest.h>

#include <filesystem>

#include "sim_machine.h"
#include "test_files.h"
#include "tool_runner.h"

namespace {

using test_support::Count;
using test_support::RunTool;

constexpr char kOneCardDump[] = "tests/data/replay/card-on-bus-03.lspci-vvxxx-s.txt";

// A file of the one card's dump ("03:00.0 Signal ...") moved to `at`.
std::string OneFunctionAt(const std::string& at) {
    std::string text = test_support::ReadFile(test_support::SourcePath(kOneCardDump));
    const std::string path = test_support::TempPath("machine");
    test_support::WriteFile(path, text.replace(0, at.size(), at));
    return path;
}

TEST(OneFunctionDump, IsListedOrTheToolSaysWhyNot) {
    const char* const kPeers = "QUOREL_SCAN_PEER_BUSES=1";
    const struct {
        const char* at;
        const char* env;
        const char* said;  // on stdout when listed, else on stderr
    } cases[] = {
        {"00:05.3", "", "00:05.3  6a5d:0101"},
        {"03:00.0", kPeers, "03:00.0  6a5d:0101"},
        {"03:00.0", "", "1 function on bus 03 is not reached from bus 0 (a card there is found only "
                        "with QUOREL_SCAN_PEER_BUSES=1): 03:00.0 6a5d:0101"},
        {"03:00.2", kPeers,
         "03:00.2 6a5d:0101 answers where no scan looks: no bridge from bus 0 leads to bus 03, and the "
         "peer-bus probe finds a bus by function 0 of its devices, which 03:00 lacks (a machine file "
         "needs 03:00.0 too, `sudo lspci -vvxxx -s 03:00` dumps the whole device"},
        {"00:1f.7", "", "00:1f.7 6a5d:0101 answers where no scan looks: the library's scan never probes"},
        {"c0:1f.7", kPeers, "c0:1f.7 6a5d:0101 answers where no scan looks: the library's scan never"},
    };
    for (const auto& c : cases) {
        auto run = RunTool("list", OneFunctionAt(c.at), c.env);
        EXPECT_NE((run.exit_code == 0 ? run.out : run.err).find(c.said), std::string::npos)
            << c.at << " " << c.env << ":\n" << run.out << run.err;
    }
}

// The tool initialises the driver several times (discovery, its probes,
// doctor's opens), and the stand-in loads the machine at each.
TEST(StandInMessages, AreSaidOnceByEachCommand) {
    const std::string refused = test_support::TempPath("machine");
    test_support::WriteFile(refused, "Slot:\t00:00.0\n");
    const std::string other_domain = test_support::TempPath("machine");
    test_support::WriteFile(other_domain,
                            test_support::ReadFile(test_support::SourcePath("backends/sim/machines/default.lspci")) +
                                "0001:00:00.0 x\n00: 86 80 57 0d 00 00 00 00 00 00 00 06 00 00 00 00\n");
    for (const char* command : {"list", "tree", "cards", "doctor"}) {
        EXPECT_EQ(Count(RunTool(command, refused).err, "unrecognised line"), 1u) << command;
        EXPECT_EQ(Count(RunTool(command, other_domain).err, "left out 1 function"), 1u) << command;
    }
}

TEST(SnapshotReplay, NamesAFolderThatIsNoSnapshot) {
    namespace fs = std::filesystem;
    const std::string missing = test_support::TempPath("missing");
    const std::string empty = test_support::TempPath("empty");
    fs::create_directory(empty);
    const std::string file = test_support::TempPath("file");
    test_support::WriteFile(file, "");
    const struct {
        std::string folder;
        const char* problem;
    } cases[] = {
        {missing, "no such folder; set it to a folder that `quorel snapshot DIR` wrote"},
        {empty, "not a snapshot: it has no about.txt; set it to a folder"},
        {file, "not a folder; set it to a folder"},
    };
    for (const auto& c : cases) {
        auto run = RunTool("list", "", "QUOREL_SIM_SNAPSHOT='" + c.folder + "'");
        EXPECT_EQ(run.exit_code, 1);
        EXPECT_EQ(run.err.rfind("quorel-sim: QUOREL_SIM_SNAPSHOT=" + c.folder + ": " + c.problem, 0), 0u)
            << run.err;
        EXPECT_EQ(Count(run.err, "quorel-sim:"), 1u) << run.err;
        // The hint names what the stand-in says it read.
        EXPECT_NE(run.err.find("library reads the snapshot " + c.folder + ": check it."), std::string::npos)
            << run.err;
    }
}

TEST(Doctor, NamesTheMachineItReplays) {
    const std::string snapshot = test_support::TempPath("snapshot");
    ASSERT_EQ(RunTool("snapshot '" + snapshot + "'").exit_code, 0);
    const std::string machine = test_support::SourcePath("backends/sim/machines/default.lspci");
    const struct {
        std::string machine, env, named;
    } cases[] = {
        {"", "", "the default machine"},
        {machine, "", "the machine file " + machine},
        {"", "QUOREL_SIM_SNAPSHOT='" + snapshot + "'", "the snapshot " + snapshot},
    };
    for (const auto& c : cases) {
        auto run = RunTool("doctor", c.machine, c.env);
        EXPECT_EQ(test_support::DoctorFact(run.out, "machine"), c.named);
        EXPECT_EQ(run.exit_code, 0) << run.out << run.err;
    }
    // A pipe can be read once: the machine loaded at every initialisation
    // is still the one it gave.
    auto piped = test_support::RunCommand("cat '" + machine + "' | " + "env -u QUOREL_SIM_LOG -u "
                                          "QUOREL_SIM_SNAPSHOT QUOREL_SIM_MACHINE=/dev/stdin " +
                                          QUOREL_TOOL_RUNNER " '" QUOREL_TOOL "' doctor");
    EXPECT_EQ(test_support::DoctorFact(piped.out, "machine"), "the machine file /dev/stdin");
    EXPECT_NE(piped.out.find("verdict: 3 of 3 cards open"), std::string::npos) << piped.out << piped.err;
}

}  // namespace
