// Which card a command acts on: a position (Quorel_open) or, with --board,
// a board ID (Quorel_open2). Once opened, both are reached the same way.
#ifndef QUOREL_TOOLS_CARD_TARGET_H
#define QUOREL_TOOLS_CARD_TARGET_H

#include <cstddef>
#include <string>

#include "cli.h"

namespace commands {

struct Target {
    bool by_board = false;
    int number = 0;  // position or board ID
};

// Takes the target from --board or from the first positional argument; sets
// `rest` to the index of the first argument after it. False with a message.
bool ParseTarget(const cli::Args& args, Target& target, size_t& rest, std::string& error);
// Parses an argument that must lie in [low, high].
bool ParseInRange(const std::string& text, long long low, long long high, int& out);

// Opens the target so that Quorel_sts and the commands address it. Reports
// why not and returns false when there is no such card or it cannot be mapped.
bool OpenTarget(const Target& target);
// Register access on an opened target.
int ReadRegister(const Target& target, int reg);
int WriteRegister(const Target& target, int reg, int value);

// Adds "position" or "board" with the number to a JSON object.
void TargetJson(cli::Json& json, const Target& target);

}  // namespace commands

#endif  // QUOREL_TOOLS_CARD_TARGET_H
