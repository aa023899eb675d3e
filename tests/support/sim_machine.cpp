#include "sim_machine.h"

namespace test_support {

std::string UseMachine(const std::string& text) {
    std::string path = TempPath("machine");
    WriteFile(path, text);
    SetEnv("QUOREL_SIM_MACHINE", path.c_str());
    return path;
}

void UseDefaultMachine() { SetEnv("QUOREL_SIM_MACHINE", nullptr); }

std::string StartSimLog() {
    std::string path = TempPath("simlog");
    WriteFile(path, "");
    SetEnv("QUOREL_SIM_LOG", path.c_str());
    return path;
}

void StopSimLog() { SetEnv("QUOREL_SIM_LOG", nullptr); }

}  // namespace test_support
