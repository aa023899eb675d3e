// The quorel tool's card commands. Each drives the card through the library's
// exports, as an application would; what they show beyond that (positions,
// locations, the board table) comes from the library's inspection view.
#ifndef QUOREL_TOOLS_CARD_COMMANDS_H
#define QUOREL_TOOLS_CARD_COMMANDS_H

#include "cli.h"

namespace commands {

// Argument synopses, shared by the command table and the usage messages.
namespace usage {
constexpr char kCards[] = "[--json]";
constexpr char kBoards[] = "[--json]";
constexpr char kRead[] = "POS|--board N REG [--json]";
constexpr char kWrite[] = "POS|--board N REG VALUE";
constexpr char kStatus[] = "POS|--board N [--json]";
constexpr char kReset[] = "POS|--board N";
constexpr char kIrq[] = "POS|--board N ACTION";
constexpr char kDump[] = "POS|--board N [--json]";
constexpr char kVersion[] = "[--json]";
}  // namespace usage

int Cards(const cli::Args& args);    // every card by position
int Boards(const cli::Args& args);   // the multi-card open, by board ID
int Read(const cli::Args& args);     // POS REG | --board N REG
int Write(const cli::Args& args);    // POS REG VALUE | --board N REG VALUE
int Status(const cli::Args& args);   // POS | --board N
int Reset(const cli::Args& args);    // POS | --board N
int Irq(const cli::Args& args);      // POS ACTION | --board N ACTION
int Dump(const cli::Args& args);     // POS | --board N
int Version(const cli::Args& args);

}  // namespace commands

#endif  // QUOREL_TOOLS_CARD_COMMANDS_H
