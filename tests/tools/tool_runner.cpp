#include "tool_runner.h"

namespace test_support {

ToolRun RunTool(const std::string& args, const std::string& machine_path, const std::string& env) {
    std::string command = "env -u QUOREL_SIM_LOG -u QUOREL_SCAN_PEER_BUSES ";
    command += machine_path.empty() ? "-u QUOREL_SIM_MACHINE " : "QUOREL_SIM_MACHINE='" + machine_path + "' ";
    return RunCommand(command + env + " " QUOREL_TOOL_RUNNER " '" QUOREL_TOOL "' " + args);
}

}  // namespace test_support
