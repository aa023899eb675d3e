// The quorel command line: options anywhere, each at most once, checked
// against the command's row. `quorel --version` is `quorel version`.
#ifndef QUOREL_TOOLS_COMMAND_LINE_H
#define QUOREL_TOOLS_COMMAND_LINE_H

#include <optional>

#include "cli.h"

namespace cli {

// The command line as its command will run it, or, when there is nothing
// to run, the exit code of what was printed instead: the help, or a usage
// error with the command's usage (the list when no command is known).
struct CommandLine {
    Args args;
    std::optional<int> exit_code;
};
CommandLine ParseCommandLine(int argc, char** argv);

}  // namespace cli

#endif  // QUOREL_TOOLS_COMMAND_LINE_H
