// Reaching the card a command acts on (cli::Target): a position opened by
// Quorel_open or, with --board, a board ID by Quorel_open2.
#ifndef QUOREL_TOOLS_CARD_TARGET_H
#define QUOREL_TOOLS_CARD_TARGET_H

#include <optional>

#include "api/inspect.h"
#include "cli.h"
#include "json_text.h"

namespace commands {

// Opens the target so that Quorel_sts and the commands address it. Reports
// why not and returns false when there is no such card or it cannot be mapped.
bool OpenTarget(const cli::Target& target);
// The opened target as the library's view has it.
std::optional<quorel::inspect::Card> TargetCard(const cli::Target& target);
// Register access on an opened target.
int ReadRegister(const cli::Target& target, int reg);
int WriteRegister(const cli::Target& target, int reg, int value);

// {"position": N} or {"board": N}, for a command's JSON to continue.
cli::Json TargetJson(const cli::Target& target);

}  // namespace commands

#endif  // QUOREL_TOOLS_CARD_TARGET_H
