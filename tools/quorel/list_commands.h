// The quorel tool's list commands (list_commands.cpp); main.cpp holds the
// table that names every command.
#ifndef QUOREL_TOOLS_LIST_COMMANDS_H
#define QUOREL_TOOLS_LIST_COMMANDS_H

#include "cli.h"

namespace commands {

int List(const cli::Args& args);  // the device list, in scan order
int Tree(const cli::Args& args);  // the bus tree

}  // namespace commands

#endif  // QUOREL_TOOLS_LIST_COMMANDS_H
