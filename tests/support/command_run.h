// Runs a shell command in a child process and captures what it prints:
// for programs that must start afresh, such as one whose discovery has
// already run in this process. Natively only.
#ifndef QUOREL_TESTS_COMMAND_RUN_H
#define QUOREL_TESTS_COMMAND_RUN_H

#include <string>

namespace test_support {

struct CommandRun {
    int exit_code;    // -1 when it did not exit normally
    std::string out;  // standard output; standard error goes to err
    std::string err;
};

CommandRun RunCommand(const std::string& command);

}  // namespace test_support

#endif  // QUOREL_TESTS_COMMAND_RUN_H
