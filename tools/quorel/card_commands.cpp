// `quorel cards`, `boards`, `read`, `write`, `status`, `reset`, `irq`, `dump`
// and `version`: the card through the library's exports; what they show
// beyond that (positions, locations, the board table) comes from the
// library's inspection view.
#include <cstdio>
#include <string>
#include <vector>

#include "api/inspect.h"
#include "bar_text.h"
#include "card_target.h"
#include "commands.h"
#include "json_text.h"
#include "peer_note.h"
#include "quiet_stdout.h"
#include "quorel.h"
#include "scan_diagnosis.h"

namespace commands {

namespace {

namespace inspect = quorel::inspect;

constexpr int kLastRegister = inspect::kStatusRegister - 1;
constexpr int kMaxByte = 0xFF;
constexpr int kDumpColumns = 16;
constexpr int kByteDigits = 2;

bool ParseRegister(const std::string& text, int& reg) {
    return cli::ParseInRange(text, 0, kLastRegister, reg);
}

const char* kRegisterRange = "REG must be 0 to 254 (255 is the control/status register)";

void PrintByte(const cli::Args& args, const char* key, int value) {
    if (!args.json) {
        std::printf("%s\n", cli::PrefixedHex(static_cast<unsigned>(value), kByteDigits).c_str());
        return;
    }
    cli::Json json = TargetJson(args.target);
    json[key] = value;
    std::printf("%s\n", cli::JsonText(json).c_str());
}

cli::Json CardJson(const inspect::Card& card) {
    return cli::Json{{"position", card.position},
                     {"type", card.type},
                     {"location", cli::AddressText(card.function)},
                     {"bar0", Bar0Address(card.function)},
                     {"window_length", card.window_length}};
}

constexpr char kCardColumns[] = "POS  TYPE  LOCATION  BAR0        WINDOW";

void PrintCardColumns(const inspect::Card& card) {
    std::printf("%-4d %-5d %-9s %-10s  %s\n", card.position, card.type,
                cli::AddressText(card.function).c_str(), Bar0Text(card.function).c_str(),
                cli::PrefixedHex(card.window_length, 1).c_str());
}

}  // namespace

int Cards(const cli::Args& args) {
    if (!ScanFoundFunctions())
        return cli::kExitFailure;
    const std::vector<inspect::Card> cards = inspect::Cards();
    cli::Json json = cli::Json::array();
    if (!args.json)
        std::printf("%s\n", kCardColumns);
    for (const inspect::Card& card : cards) {
        if (args.json)
            json.push_back(CardJson(card));
        else
            PrintCardColumns(card);
    }
    if (args.json)
        std::printf("%s\n", cli::JsonText(json).c_str());
    std::fflush(stdout);  // what stderr says comes after the table
    if (cards.empty())
        std::fprintf(stderr, "quorel: no cards found (`quorel list` shows what the scan found)\n");
    PrintUnreachedNote();
    return cli::kExitOk;
}

int Boards(const cli::Args& args) {
    if (!ScanFoundFunctions())
        return cli::kExitFailure;
    Quorel_open2();
    cli::Json json = cli::Json::array();
    if (!args.json)
        std::printf("BOARD  PRESENT  %s\n", kCardColumns);
    for (int board = 0; board < inspect::kBoardCount; ++board) {
        const std::optional<inspect::Card> card = inspect::BoardCard(board);
        if (args.json) {
            cli::Json entry{{"board", board}, {"present", card.has_value()}};
            if (card)
                entry.update(CardJson(*card));
            json.push_back(entry);
        } else if (card) {
            std::printf("%-6d yes      ", board);
            PrintCardColumns(*card);
        } else {
            std::printf("%-6d no\n", board);
        }
    }
    if (args.json)
        std::printf("%s\n", cli::JsonText(json).c_str());
    return cli::kExitOk;
}

int Read(const cli::Args& args) {
    int reg = 0;
    if (!ParseRegister(args.positional[0], reg))
        return cli::UsageError(args, kRegisterRange);
    if (!OpenTarget(args.target))
        return cli::kExitFailure;
    PrintByte(args, "value", ReadRegister(args.target, reg));
    return cli::kExitOk;
}

int Write(const cli::Args& args) {
    int reg = 0, value = 0;
    if (!ParseRegister(args.positional[0], reg))
        return cli::UsageError(args, kRegisterRange);
    if (!cli::ParseInRange(args.positional[1], 0, kMaxByte, value))
        return cli::UsageError(args, "VALUE must be 0 to 255");
    if (!OpenTarget(args.target))
        return cli::kExitFailure;
    WriteRegister(args.target, reg, value);
    return cli::kExitOk;
}

int Status(const cli::Args& args) {
    if (!OpenTarget(args.target))
        return cli::kExitFailure;
    PrintByte(args, "status", Quorel_sts());
    return cli::kExitOk;
}

int Reset(const cli::Args& args) {
    if (!OpenTarget(args.target))
        return cli::kExitFailure;
    Quorel_srst();
    return cli::kExitOk;
}

int Irq(const cli::Args& args) {
    const struct {
        const char* action;
        int (QUOREL_CALL* command)(void);
    } actions[] = {{"enable", Quorel_enint}, {"disable", Quorel_disint}, {"ack", Quorel_ackint}};
    for (const auto& a : actions) {
        if (args.positional[0] != a.action)
            continue;
        if (!OpenTarget(args.target))
            return cli::kExitFailure;
        a.command();
        return cli::kExitOk;
    }
    return cli::UsageError(args, "ACTION is enable, disable or ack");
}

int Dump(const cli::Args& args) {
    if (!OpenTarget(args.target))
        return cli::kExitFailure;
    std::vector<int> values;
    for (int reg = 0; reg <= kLastRegister; ++reg)
        values.push_back(ReadRegister(args.target, reg));
    const int status = Quorel_sts();  // after the reads: they select a board anew
    if (args.json) {
        cli::Json json = TargetJson(args.target);
        json["registers"] = values;
        json["status"] = status;
        std::printf("%s\n", cli::JsonText(json).c_str());
        return cli::kExitOk;
    }
    std::printf("reg ");  // rows of 16 registers, numbered in hex
    for (int column = 0; column < kDumpColumns; ++column)
        std::printf(" +%x", column);
    for (int reg = 0; reg <= kLastRegister; ++reg) {
        if (reg % kDumpColumns == 0)
            std::printf("\n%02x: ", reg);
        std::printf(" %02x", values[reg]);
    }
    std::printf("\nstatus: %s\n", cli::PrefixedHex(static_cast<unsigned>(status), kByteDigits).c_str());
    return cli::kExitOk;
}

int Version(const cli::Args& args) {
    int major = 0, minor = 0;
    if (!args.json) {
        Quorel_LibVersion(&major, &minor);  // prints the banner line
        return cli::kExitOk;
    }
    {
        QuietStdout quiet;  // the banner would break the JSON
        Quorel_LibVersion(&major, &minor);
    }
    std::printf("%s\n", cli::JsonText(cli::Json{{"major", major}, {"minor", minor}}).c_str());
    return cli::kExitOk;
}

}  // namespace commands
