// quorel: shows what the library sees (the PCI functions its bus scan finds,
// the cards) and drives a card through the library's own functions.
#include <cstdio>
#include <cstring>
#include <string>

#include "cli.h"
#include "card_commands.h"
#include "doctor.h"
#include "driver_binding.h"
#include "list_commands.h"
#include "snapshot_command.h"

namespace {

const cli::Command kCommands[] = {
    {"list", "[--json]", "PCI functions found by the bus scan, in scan order", 0, 0,
     commands::List},
    {"tree", "[--json]", "the PCI bus tree", 0, 0, commands::Tree},
    {"cards", commands::usage::kCards, "the cards by position: type, location, BAR0, window", 0, 0,
     commands::Cards},
    {"boards", commands::usage::kBoards, "open up to four cards by the board ID they report", 0, 0,
     commands::Boards},
    {"read", commands::usage::kRead, "read register REG (0..254)", 1, 2, commands::Read},
    {"write", commands::usage::kWrite, "write VALUE (0..255) to register REG", 2, 3,
     commands::Write},
    {"status", commands::usage::kStatus, "read the control/status register", 0, 1,
     commands::Status},
    {"reset", commands::usage::kReset, "reset the card", 0, 1, commands::Reset},
    {"irq", commands::usage::kIrq, "ACTION: enable, disable or ack the interrupt", 1, 2,
     commands::Irq},
    {"dump", commands::usage::kDump, "registers 0..254 and the status register", 0, 1,
     commands::Dump},
    {"snapshot", commands::usage::kSnapshot,
     "write this PC's functions, registry entries and versions to DIR for a replay", 1, 1,
     commands::Snapshot},
    {"version", commands::usage::kVersion, "the library's version banner", 0, 0,
     commands::Version},
    {"doctor", "[--json]", "why a card is or is not reachable: run this first", 0, 0,
     commands::Doctor},
};

// Commands that run without the driver-access library: the rest refuse
// with the reason when it cannot be bound.
const char* const kWithoutDriver[] = {"doctor", "version"};

bool NeedsDriver(const cli::Command& command) {
    for (const char* name : kWithoutDriver)
        if (!std::strcmp(command.name, name))
            return false;
    return true;
}

void PrintHelp(std::FILE* out) {
    std::fprintf(out, "usage: quorel COMMAND [ARGS] [--json]\n\ncommands:\n");
    for (const cli::Command& c : kCommands)
        std::fprintf(out, "  %-8s %-28s %s\n", c.name, c.usage, c.summary);
    std::fprintf(out,
                 "\nNumbers are decimal or 0x-prefixed hexadecimal. The stand-in driver-access "
                 "library\nsimulates the machine named by QUOREL_SIM_MACHINE (a `lspci -xxx` "
                 "dump), else its default one;\nQUOREL_SIM_SNAPSHOT=DIR replays what `quorel "
                 "snapshot DIR` wrote.\n");
}

const cli::Command* FindCommand(const std::string& name) {
    for (const cli::Command& c : kCommands)
        if (name == c.name)
            return &c;
    return nullptr;
}

// Options may stand anywhere; everything else is positional. False on a bad option.
bool ParseArgs(int argc, char** argv, cli::Args& args, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--json") {
            args.json = true;
        } else if (a == "--registers") {
            args.registers = true;
        } else if (a == "--force") {
            args.force = true;
        } else if (a == "--board") {
            long long board = 0;
            if (i + 1 >= argc || !cli::ParseNumber(argv[++i], board)) {
                error = "--board needs a number";
                return false;
            }
            args.board = board;
        } else if (a.size() > 1 && a[0] == '-' && !(a[1] >= '0' && a[1] <= '9')) {
            error = "unknown option " + a;
            return false;
        } else {
            args.positional.push_back(a);
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || !std::strcmp(argv[1], "help") || !std::strcmp(argv[1], "--help") ||
        !std::strcmp(argv[1], "-h")) {
        PrintHelp(argc < 2 ? stderr : stdout);
        return argc < 2 ? cli::kExitUsage : cli::kExitOk;
    }
    cli::Args args;
    std::string error;
    if (!ParseArgs(argc, argv, args, error)) {
        std::fprintf(stderr, "quorel: %s\n\n", error.c_str());
        PrintHelp(stderr);
        return cli::kExitUsage;
    }
    if (args.positional.empty()) {
        PrintHelp(stderr);
        return cli::kExitUsage;
    }
    const cli::Command* command = FindCommand(args.positional.front());
    if (!command) {
        std::fprintf(stderr, "quorel: unknown command '%s'\n\n", args.positional.front().c_str());
        PrintHelp(stderr);
        return cli::kExitUsage;
    }
    args.positional.erase(args.positional.begin());
    if (args.positional.size() < command->min_args)
        return cli::UsageError(*command, "missing arguments");
    if (args.positional.size() > command->max_args)
        return cli::UsageError(*command, "too many arguments");
    std::string unbound;
    if (NeedsDriver(*command) && !driver_binding::Bind().Usable(unbound)) {
        std::fprintf(stderr, "quorel: %s\n  `quorel doctor` says more.\n", unbound.c_str());
        return cli::kExitFailure;
    }
    return command->run(args);
}
