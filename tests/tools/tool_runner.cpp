#include "tool_runner.h"

#include <sstream>

namespace test_support {

ToolRun RunTool(const std::string& args, const std::string& machine_path, const std::string& env) {
    std::string command = "env -u QUOREL_SIM_LOG -u QUOREL_SCAN_PEER_BUSES ";
    command += machine_path.empty() ? "-u QUOREL_SIM_MACHINE " : "QUOREL_SIM_MACHINE='" + machine_path + "' ";
    return RunCommand(command + env + " " QUOREL_TOOL_RUNNER " '" QUOREL_TOOL "' " + args);
}

std::string DoctorFact(const std::string& out, const std::string& label) {
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) {
        const size_t start = line.find_first_not_of(' ');
        if (start != std::string::npos && line.compare(start, label.size() + 1, label + " ") == 0)
            return line.substr(line.find_first_not_of(' ', start + label.size()));
    }
    return "(no " + label + ")";
}

}  // namespace test_support
