// The command table, and the help made from it.
#include <cstdio>
#include <string>

#include "commands.h"
#include "settings/settings.h"

namespace cli {

namespace {

constexpr char kTargetUsage[] = "POS|--board N";

constexpr char kNotes[] =
    "Numbers are decimal or 0x-prefixed hexadecimal. Exit codes: 0 done; 1 failed, the reason\n"
    "on stderr (with --json also {\"ok\": false, \"reason\": ...} on stdout); 2 bad arguments.\n";

constexpr char kModelNote[] =
    "A card model (a TOML file) names a card's registers and fields: the one --model PATH\n"
    "gives, else the one the driver-access library says the card follows, else none;\n"
    "`quorel model check PATH` checks one.\n";

constexpr int kUsageColumn = 28;                   // its width in the list
constexpr int kSummaryColumn = 2 + 8 + 1 + kUsageColumn + 1;

}  // namespace

// The rows, in the order help lists them.
const Command kCommands[] = {
    // name, arguments, summary, target, min, max, options, needs driver, run
    {"list", "", "PCI functions found by the bus scan, in scan order", false, 0, 0, kJson, true,
     commands::List},
    {"tree", "", "the PCI bus tree", false, 0, 0, kJson, true, commands::Tree},
    {"cards", "", "the cards by position: type, location, BAR0, window", false, 0, 0, kJson, true,
     commands::Cards},
    {"boards", "", "open up to four cards by the board ID they report", false, 0, 0, kJson, true,
     commands::Boards},
    {"read", "REG", "read register REG: 0..254, or NAME or NAME.FIELD of the card's model", true,
     1, 1, kJson | kModel, true, commands::Read},
    {"write", "REG VALUE", "write VALUE (0..255) to REG, or to one field: NAME.FIELD VALUE", true,
     2, 2, kModel, true, commands::Write},
    {"status", "", "read the control/status register", true, 0, 0, kJson | kModel, true,
     commands::Status},
    {"reset", "", "reset the card", true, 0, 0, 0, true, commands::Reset},
    {"irq", "ACTION", "ACTION: enable, disable or ack the interrupt", true, 1, 1, 0, true,
     commands::Irq},
    {"dump", "", "registers 0..254 and the status register (with a model, --all: those a read changes too)",
     true, 0, 0, kJson | kModel | kAll, true, commands::Dump},
    {"watch", "", "a live view of the card's registers, refreshed; keys write and send commands",
     true, 0, 0, kJson | kModel | kAll | kInterval | kOnce, true, commands::Watch},
    {"snapshot", "DIR", "write this PC's functions, registry entries and versions to DIR for a replay",
     false, 1, 1, kRegisters | kForce, true, commands::Snapshot},
    {"version", "", "the library's version banner (also --version)", false, 0, 0, kJson, false,
     commands::Version},
    {"model", "check PATH", "check a card model file: its problems, or what it names", false, 2, 2,
     kJson, false, commands::Model},
    {"replay", "check TRACE", "what a replay of a trace file would serve, and what it cannot use",
     false, 2, 2, kJson | kSnapshot, false, commands::Replay},
    {"doctor", "", "why a card is or is not reachable: run this first", false, 0, 0, kJson, false,
     commands::Doctor},
    {"help", "[COMMAND]", "this list, or one command's usage (also COMMAND --help)", false, 0, 1, 0,
     false, commands::Help},
};

const Command* FindCommand(const std::string& name) {
    for (const Command& c : kCommands)
        if (name == c.name)
            return &c;
    return nullptr;
}

int UnknownCommand(const std::string& name) {
    std::fprintf(stderr, "quorel: unknown command '%s'\n\n", name.c_str());
    PrintHelp(stderr);
    return kExitUsage;
}

const char* OptionName(Option option) {
    switch (option) {
    case kJson:
        return "--json";
    case kRegisters:
        return "--registers";
    case kForce:
        return "--force";
    case kModel:
        return "--model";
    case kAll:
        return "--all";
    case kSnapshot:
        return "--snapshot";
    case kInterval:
        return "-n";
    case kOnce:
        return "--once";
    }
    return "";
}

std::string OptionUsage(Option option) {
    const char* value = option == kModel      ? " PATH"
                        : option == kSnapshot ? " DIR"
                        : option == kInterval ? " SECONDS"
                                              : "";
    return std::string(OptionName(option)) + value;
}

std::string Usage(const Command& command) {
    std::string usage = command.target ? kTargetUsage : "";
    if (*command.arguments)
        usage += (usage.empty() ? "" : " ") + std::string(command.arguments);
    for (Option option : kAllOptions)
        if (command.options & option)
            usage += (usage.empty() ? "[" : " [") + OptionUsage(option) + "]";
    return usage;
}

void PrintHelp(std::FILE* out) {
    std::fprintf(out, "usage: quorel COMMAND [ARGS] [--json]\n\ncommands:\n");
    for (const Command& c : kCommands) {
        const std::string usage = Usage(c);
        if (usage.size() > kUsageColumn)  // the summary on a line of its own, in its column
            std::fprintf(out, "  %-8s %s\n%*s", c.name, usage.c_str(), kSummaryColumn, "");
        else
            std::fprintf(out, "  %-8s %-*s ", c.name, kUsageColumn, usage.c_str());
        std::fprintf(out, "%s\n", c.summary);
    }
    std::fprintf(out,
                 "\n%s%sThe stand-in driver-access library simulates the machine named by\n"
                 "%s (a `lspci -xxx` dump), else its default one;\n"
                 "%s=DIR replays what `quorel snapshot DIR` wrote;\n"
                 "%s=PATH makes its cards follow that card model;\n"
                 "%s=TRACE answers its cards' reads as the trace file recorded them.\n",
                 kNotes, kModelNote, quorel::settings::kSimMachine, quorel::settings::kSimSnapshot,
                 quorel::settings::kSimModel, quorel::settings::kSimReplay);
}

void PrintCommandHelp(const Command& c) {
    std::printf("usage: quorel %s %s\n\n%s.\n\n%s%s", c.name, Usage(c).c_str(), c.summary, kNotes,
                (c.options & kModel) ? kModelNote : "");
}

}  // namespace cli

namespace commands {

int Help(const cli::Args& args) {
    if (args.positional.empty()) {
        cli::PrintHelp(stdout);
        return cli::kExitOk;
    }
    const cli::Command* command = cli::FindCommand(args.positional.front());
    if (!command)
        return cli::UnknownCommand(args.positional.front());
    cli::PrintCommandHelp(*command);
    return cli::kExitOk;
}

}  // namespace commands
