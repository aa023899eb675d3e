// Every command of the quorel tool: its row in the command table
// (command_table.cpp) and the function that runs it. The row is the one
// place that says what a command takes: main.cpp checks a command line
// against it before the function runs, so a function gets its target and
// the right number of arguments, and checks only what they must hold.
#ifndef QUOREL_TOOLS_COMMANDS_H
#define QUOREL_TOOLS_COMMANDS_H

#include <cstdio>
#include <string>

#include "cli.h"

namespace cli {

// Options a command may take besides --help and, with a target, --board.
enum Option : unsigned {
    kJson = 1u << 0,
    kRegisters = 1u << 1,
    kForce = 1u << 2,
    kModel = 1u << 3,  // --model PATH
    kAll = 1u << 4,
    kSnapshot = 1u << 5,  // --snapshot DIR
    kInterval = 1u << 6,  // -n SECONDS
    kOnce = 1u << 7,
};
constexpr Option kAllOptions[] = {kJson, kRegisters, kForce, kModel, kAll, kSnapshot, kInterval, kOnce};

struct Command {
    const char* name;
    const char* arguments;  // after the target, as the usage names them: "REG VALUE"
    const char* summary;
    bool target;            // acts on a card: POS, or --board N instead
    unsigned min_args;      // arguments after the target
    unsigned max_args;
    unsigned options;       // Option bits
    bool needs_driver;      // refused when the driver-access library cannot be bound
    int (*run)(const Args& args);
};

// The row of the command `name`; null when there is none.
const Command* FindCommand(const std::string& name);
// Says that there is no command `name`, with the list, on stderr; returns
// kExitUsage.
int UnknownCommand(const std::string& name);
// "POS|--board N REG [--json]": the target, the arguments, the options.
std::string Usage(const Command& command);
// The option's name ("--json") for one Option bit.
const char* OptionName(Option option);
// The option as a usage line shows it: "--json", "--model PATH".
std::string OptionUsage(Option option);
// The command list (help), or one command's usage and summary.
void PrintHelp(std::FILE* out);
void PrintCommandHelp(const Command& command);

}  // namespace cli

namespace commands {

int List(const cli::Args& args);      // the functions found, in scan order
int Tree(const cli::Args& args);      // the bus tree
int Cards(const cli::Args& args);     // every card by position
int Boards(const cli::Args& args);    // the multi-card open, by board ID
int Read(const cli::Args& args);      // REG (register_commands.cpp)
int Write(const cli::Args& args);     // REG VALUE
int Status(const cli::Args& args);
int Reset(const cli::Args& args);
int Irq(const cli::Args& args);       // ACTION
int Dump(const cli::Args& args);     // [--all] (dump_command.cpp)
int Watch(const cli::Args& args);    // [-n SECONDS] [--once] (watch/)
int Snapshot(const cli::Args& args);  // DIR (snapshot/)
int Version(const cli::Args& args);
int Model(const cli::Args& args);     // check PATH (model_check.cpp)
int Replay(const cli::Args& args);    // check TRACE [--snapshot DIR] (replay_check.cpp)
// Exit 0 when at least one card opens, 1 otherwise; the reason is the
// text's last line (and "reason" in --json) (doctor/).
int Doctor(const cli::Args& args);
int Help(const cli::Args& args);      // [COMMAND]

}  // namespace commands

#endif  // QUOREL_TOOLS_COMMANDS_H
