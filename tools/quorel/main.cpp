// quorel: shows what the library sees (the PCI functions its bus scan finds,
// the cards) and drives a card through the library's own functions.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>

#include "cli.h"
#include "card_commands.h"
#include "doctor.h"
#include "driver_binding.h"
#include "failure.h"
#include "list_commands.h"
#include "settings/settings.h"
#include "snapshot_command.h"
#include "text_encoding.h"

namespace {

int Help(const cli::Args& args);

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
    {"version", commands::usage::kVersion, "the library's version banner (also --version)", 0, 0,
     commands::Version},
    {"doctor", "[--json]", "why a card is or is not reachable: run this first", 0, 0,
     commands::Doctor},
    {"help", "[COMMAND]", "this list, or one command's usage (also COMMAND --help)", 0, 1, Help},
};

// Commands that run without the driver-access library: the rest refuse
// with the reason when it cannot be bound.
const char* const kWithoutDriver[] = {"doctor", "version", "help"};

bool NeedsDriver(const cli::Command& command) {
    for (const char* name : kWithoutDriver)
        if (!std::strcmp(command.name, name))
            return false;
    return true;
}

constexpr char kNotes[] =
    "Numbers are decimal or 0x-prefixed hexadecimal. Exit codes: 0 done; 1 failed, the reason\n"
    "on stderr (with --json also {\"ok\": false, \"reason\": ...} on stdout); 2 bad arguments.\n";

void PrintHelp(std::FILE* out) {
    std::fprintf(out, "usage: quorel COMMAND [ARGS] [--json]\n\ncommands:\n");
    for (const cli::Command& c : kCommands)
        std::fprintf(out, "  %-8s %-28s %s\n", c.name, c.usage, c.summary);
    std::fprintf(out,
                 "\n%sThe stand-in driver-access library simulates the machine named by\n"
                 "%s (a `lspci -xxx` dump), else its default one;\n"
                 "%s=DIR replays what `quorel snapshot DIR` wrote.\n",
                 kNotes, quorel::settings::kSimMachine, quorel::settings::kSimSnapshot);
}

void PrintCommandHelp(const cli::Command& c) {
    std::printf("usage: quorel %s %s\n\n%s.\n\n%s", c.name, c.usage, c.summary, kNotes);
}

const cli::Command* FindCommand(const std::string& name) {
    for (const cli::Command& c : kCommands)
        if (name == c.name)
            return &c;
    return nullptr;
}

int UnknownCommand(const std::string& name) {
    std::fprintf(stderr, "quorel: unknown command '%s'\n\n", name.c_str());
    PrintHelp(stderr);
    return cli::kExitUsage;
}

int Help(const cli::Args& args) {
    if (args.positional.empty()) {
        PrintHelp(stdout);
        return cli::kExitOk;
    }
    const cli::Command* command = FindCommand(args.positional.front());
    if (!command)
        return UnknownCommand(args.positional.front());
    PrintCommandHelp(*command);
    return cli::kExitOk;
}

// Whether the command's usage names the option: the usage is the one list
// of the options each command takes.
bool TakesOption(const cli::Command& command, const std::string& option) {
    std::string usage = command.usage;
    for (char& c : usage)
        if (c == '[' || c == ']' || c == '|')
            c = ' ';
    std::istringstream words(usage);
    for (std::string word; words >> word;)
        if (word == option)
            return true;
    return false;
}

bool IsOption(const std::string& a) {
    return a.size() > 1 && a[0] == '-' && !(a[1] >= '0' && a[1] <= '9');
}

// The first fault is the one reported.
void Note(std::string& error, const std::string& fault) {
    if (error.empty())
        error = fault;
}

// Options may stand anywhere; everything else is positional. Parsing goes
// on after a fault, so that the command (and its usage) is known; `error`
// holds the first fault. `quorel --version` is `quorel version`.
void ParseArgs(int argc, char** argv, cli::Args& args, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (i == 1 && a == "--version")
            a = "version";
        if (!IsOption(a)) {
            args.positional.push_back(a);
            continue;
        }
        if (std::find(args.options.begin(), args.options.end(), a) != args.options.end())
            Note(error, a + " is given twice");
        args.options.push_back(a);
        if (a == "--json") {
            args.json = true;
        } else if (a == "--registers") {
            args.registers = true;
        } else if (a == "--help" || a == "-h") {
            args.help = true;
        } else if (a == "--force") {
            args.force = true;
        } else if (a == "--board") {
            long long board = 0;
            if (i + 1 >= argc || !cli::ParseNumber(argv[++i], board))
                Note(error, "--board needs a number");
            args.board = board;
        } else {
            Note(error, "unknown option " + a);
        }
    }
}

// The command's arguments and options against its row: "" when they fit.
std::string ArgumentFault(const cli::Command& command, const cli::Args& args) {
    for (const std::string& option : args.options)
        if (!TakesOption(command, option) && option != "--help" && option != "-h")
            return std::string(command.name) + " does not take " + option;
    if (args.positional.size() < command.min_args)
        return "missing arguments";
    if (args.positional.size() > command.max_args)
        return "too many arguments";
    return "";
}

// A command line without a command: the list, on stdout when asked for.
int NoCommand(const cli::Args& args, const std::string& error) {
    if (args.help && error.empty()) {
        PrintHelp(stdout);
        return cli::kExitOk;
    }
    if (!error.empty() || !args.options.empty())
        std::fprintf(stderr, "quorel: %s\n\n", error.empty() ? "no command given" : error.c_str());
    PrintHelp(stderr);
    return cli::kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    cli::UseLocalEncoding();
    cli::Utf8Arguments utf8_arguments(argc, argv);
    argv = utf8_arguments.argv();
    cli::Args args;
    std::string error;
    ParseArgs(argc, argv, args, error);
    if (args.positional.empty())
        return NoCommand(args, error);
    const cli::Command* command = FindCommand(args.positional.front());
    if (!command)
        return UnknownCommand(args.positional.front());
    args.positional.erase(args.positional.begin());
    if (args.help) {
        PrintCommandHelp(*command);
        return cli::kExitOk;
    }
    if (error.empty())
        error = ArgumentFault(*command, args);
    if (!error.empty())
        return cli::UsageError(*command, error);
    cli::SetJsonOutput(args.json);
    std::string unbound;
    if (NeedsDriver(*command) && !driver_binding::Bind().Usable(unbound))
        return cli::Fail(unbound, "\n  `quorel doctor` says more.");
    return command->run(args);
}
