#include "tool_runner.h"

#include <sys/wait.h>

#include <cstdio>

#include "sim_machine.h"

namespace test_support {

ToolRun RunTool(const std::string& args, const std::string& machine_path) {
    std::string err_path = TempPath("tool-stderr");
    std::string command = "env -u QUOREL_SIM_LOG ";
    command += machine_path.empty() ? "-u QUOREL_SIM_MACHINE " : "QUOREL_SIM_MACHINE='" + machine_path + "' ";
    command += QUOREL_TOOL_RUNNER " '" QUOREL_TOOL "' " + args + " 2>'" + err_path + "'";
    ToolRun run{-1, "", ""};
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), pipe)) > 0)
        run.out.append(buf, n);
    int status = pclose(pipe);
    run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = ReadFile(err_path);
    std::remove(err_path.c_str());
    return run;
}

}  // namespace test_support
