// The library over sysfs gives what it gives over the stand-in, for the same
// machine: the scenario program built over each runs on it, the stand-in's
// from the machine file, the sysfs one from a fake tree written from it.
#include <gtest/gtest.h>

#include <string>

#include "command_run.h"
#include "fake_sysfs.h"
#include "temp_folder.h"
#include "test_files.h"

namespace {

using test_support::CommandRun;

struct Runs {
    CommandRun stand_in;
    CommandRun sysfs;
};

// Runs both builds on the machine into *runs; the sysfs one sees
// configuration space as `view` gives it. Fails when either run does.
::testing::AssertionResult RunBoth(const std::string& machine_text, Runs* runs,
                                   test_support::ConfigView view = test_support::ConfigView::kRoot) {
    const std::string machine = test_support::TempPath("machine");
    test_support::WriteFile(machine, machine_text);
    const std::string root = test_support::MakeFakeSysfs(machine_text, view);
    const std::string clean_env = "env -u QUOREL_SIM_LOG -u QUOREL_SIM_REGISTRY -u QUOREL_SIM_WINVER ";
    *runs = {test_support::RunCommand(clean_env + "QUOREL_SIM_MACHINE='" + machine + "' " +
                                      SCENARIO_RUNNER " '" CARD_SCENARIO_OVER_sim "'"),
             test_support::RunCommand(clean_env + test_support::kSysfsRootVariable + "='" + root +
                                      "' " SCENARIO_RUNNER " '" CARD_SCENARIO_OVER_sysfs "'")};
    if (runs->stand_in.exit_code == 0 && runs->sysfs.exit_code == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "exit codes " << runs->stand_in.exit_code << " over the stand-in, "
                                         << runs->sysfs.exit_code << " over sysfs\n"
                                         << runs->stand_in.err << runs->sysfs.err;
}

std::string DefaultMachine() { return test_support::ReadFile(test_support::SourcePath("backends/sim/machines/default.lspci")); }

TEST(SysfsAsStandIn, DefaultMachineAsRoot) {
    Runs runs;
    EXPECT_TRUE(RunBoth(DefaultMachine(), &runs));
    EXPECT_EQ(runs.sysfs.out, runs.stand_in.out);
    // Not two empty scans agreeing: the cards behind the bridge open and file.
    EXPECT_NE(runs.sysfs.out.find("function 01:01.0 6a5d:494f"), std::string::npos) << runs.sysfs.out;
    EXPECT_NE(runs.sysfs.out.find("open 2 = 0 board register"), std::string::npos) << runs.sysfs.out;
    EXPECT_NE(runs.sysfs.out.find("valid = 0: 0 1 1 1"), std::string::npos) << runs.sysfs.out;
    EXPECT_EQ(runs.sysfs.err, "");
}

// Every config file 64 bytes, as a user who is not root reads them, and one
// card without a window to map (no resource0; the stand-in refuses it).
TEST(SysfsAsStandIn, UnprivilegedViewAndAMissingWindow) {
    Runs runs;
    EXPECT_TRUE(RunBoth(DefaultMachine() + "refuse-map 01:00.0\n", &runs, test_support::ConfigView::kUser));
    EXPECT_EQ(runs.sysfs.out, runs.stand_in.out);
    EXPECT_NE(runs.sysfs.out.find("open 1 = 2\n"), std::string::npos) << runs.sysfs.out;
    EXPECT_NE(runs.sysfs.err.find("0000:01:00.0/resource0: No such file or directory"), std::string::npos)
        << runs.sysfs.err;
}

}  // namespace
