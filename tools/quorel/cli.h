// Shared pieces of the quorel tool: what a command is given, the exit
// codes, number parsing and the forms of addresses and hexadecimal.
#ifndef QUOREL_TOOLS_CLI_H
#define QUOREL_TOOLS_CLI_H

#include <cstdint>
#include <string>
#include <vector>

#include "api/inspect.h"

namespace cli {

struct Command;

// Which card a command acts on: a position (Quorel_open) or, with --board,
// a board ID (Quorel_open2). Once opened, both are reached the same way.
struct Target {
    bool by_board = false;
    int number = 0;  // position or board ID
};

// A command line checked against its command's row (commands.h).
struct Args {
    const Command* command = nullptr;
    Target target;                        // of a command that acts on a card
    std::vector<std::string> positional;  // after the command name and the target
    bool json = false;                    // --json
    bool registers = false;               // --registers (snapshot)
    bool force = false;                   // --force (snapshot)
    std::string model;                    // --model PATH: the card model; "" none given
    bool all = false;                     // --all (dump, watch)
    std::string snapshot;                 // --snapshot DIR (replay check); "" none given
    std::string interval;                 // -n SECONDS (watch): "" none given
    bool once = false;                    // --once (watch)
};

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;  // the operation ran and reported a failure
constexpr int kExitUsage = 2;    // bad arguments

// Decimal or 0x-prefixed hexadecimal, optionally negative; the whole text
// must be a number.
bool ParseNumber(const std::string& text, long long& out);
// The same, and the number must lie in [low, high].
bool ParseInRange(const std::string& text, long long low, long long high, int& out);
// Prints the message and the command's usage line to stderr; returns kExitUsage.
int UsageError(const Command& command, const std::string& message);
int UsageError(const Args& args, const std::string& message);
// "bb:dd.f" of a function.
std::string AddressText(const quorel::inspect::Location& at);
// Lowercase hexadecimal, at least `digits` digits: "0d", "fd000000".
std::string Hex(uint64_t value, int digits);
// The same with 0x, as tables show addresses and register values.
std::string PrefixedHex(uint64_t value, int digits);

}  // namespace cli

#endif  // QUOREL_TOOLS_CLI_H
