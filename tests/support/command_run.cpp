#include "command_run.h"

#include <sys/wait.h>

#include <cstdio>

#include "temp_folder.h"
#include "test_files.h"

namespace test_support {

CommandRun RunCommand(const std::string& command) {
    std::string err_path = TempPath("stderr");
    CommandRun run{-1, "", ""};
    FILE* pipe = popen((command + " 2>'" + err_path + "'").c_str(), "r");
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
