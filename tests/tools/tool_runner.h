// Runs the quorel tool as a user would and captures what it prints.
#ifndef QUOREL_TESTS_TOOL_RUNNER_H
#define QUOREL_TESTS_TOOL_RUNNER_H

#include <string>

#include "command_run.h"

namespace test_support {

using ToolRun = CommandRun;

// Runs `quorel ARGS` with QUOREL_SIM_MACHINE set to machine_path (empty: the
// default machine; the tool over sysfs does not read it),
// QUOREL_SCAN_PEER_BUSES unset, and the assignments of
// `env` ("NAME=value ...") added.
ToolRun RunTool(const std::string& args, const std::string& machine_path = "",
                const std::string& env = "");

// The first line of `quorel doctor`'s text whose label is `label`, without
// it; "(no LABEL)" when there is none.
std::string DoctorFact(const std::string& out, const std::string& label);

}  // namespace test_support

#endif  // QUOREL_TESTS_TOOL_RUNNER_H
