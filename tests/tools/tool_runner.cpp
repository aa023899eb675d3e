#include "tool_runner.h"

namespace test_support {

ToolRun RunTool(const std::string& args, const std::string& machine_path) {
    std::string command = "env -u QUOREL_SIM_LOG ";
    command += machine_path.empty() ? "-u QUOREL_SIM_MACHINE " : "QUOREL_SIM_MACHINE='" + machine_path + "' ";
    return RunCommand(command + "'" QUOREL_TOOL "' " + args);
}

}  // namespace test_support
