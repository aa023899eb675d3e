// `quorel cards`, `boards`, `read`, `write`, `status`, `reset`, `irq`, `dump`
// and `version`: the card through the library's exports.
#include "card_commands.h"

#include <cstdio>
#include <string>
#include <vector>

#include "api/inspect.h"
#include "bar_text.h"
#include "card_target.h"
#include "peer_note.h"
#include "quiet_stdout.h"
#include "quorel.h"
#include "scan_diagnosis.h"

namespace commands {

namespace {

using quorel::DeviceRecord;
namespace inspect = quorel::inspect;

constexpr int kLastRegister = inspect::kStatusRegister - 1;
constexpr int kMaxByte = 0xFF;
constexpr int kDumpColumns = 16;
constexpr int kByteDigits = 2;

struct Syntax {
    const char* name;
    const char* usage;
    size_t extra;  // arguments after the target
};

int Usage(const Syntax& syntax, const std::string& message) {
    const cli::Command command{syntax.name, syntax.usage, "", 0, 0, nullptr};
    return cli::UsageError(command, message);
}

// The target and exactly syntax.extra more arguments; else a usage error.
bool ParseCommand(const cli::Args& args, const Syntax& syntax, Target& target,
                  std::vector<std::string>& extra, int& exit_code) {
    size_t rest = 0;
    std::string error;
    if (!ParseTarget(args, target, rest, error)) {
        exit_code = Usage(syntax, error);
        return false;
    }
    extra.assign(args.positional.begin() + rest, args.positional.end());
    if (extra.size() != syntax.extra) {
        exit_code = Usage(syntax, extra.size() < syntax.extra ? "missing arguments" : "too many arguments");
        return false;
    }
    return true;
}

// ParseCommand for a command without further arguments, then OpenTarget.
bool ParseAndOpen(const cli::Args& args, const Syntax& syntax, Target& target, int& exit_code) {
    std::vector<std::string> extra;
    if (!ParseCommand(args, syntax, target, extra, exit_code))
        return false;
    if (!OpenTarget(target)) {
        exit_code = cli::kExitFailure;
        return false;
    }
    return true;
}

bool ParseRegister(const std::string& text, int& reg) {
    return ParseInRange(text, 0, kLastRegister, reg);
}

const char* kRegisterRange = "REG must be 0 to 254 (255 is the control/status register)";

void PrintByte(const cli::Args& args, const Target& target, const char* key, int value) {
    if (!args.json) {
        std::printf("%s\n", cli::PrefixedHex(static_cast<unsigned>(value), kByteDigits).c_str());
        return;
    }
    cli::Json json;
    json.BeginObject();
    TargetJson(json, target);
    json.Key(key).Int(value).EndObject();
    std::printf("%s\n", json.Text().c_str());
}

// Position of a card's record in search order, with its variant.
int PositionOf(const DeviceRecord* record, int32_t& type) {
    for (int32_t position = 0;; ++position) {
        const DeviceRecord* found = inspect::CardAt(position, &type);
        if (!found || found == record)
            return found ? position : -1;
    }
}

void CardJson(cli::Json& json, int position, int32_t type, const DeviceRecord* record) {
    json.Key("position").Int(position)
        .Key("type").Int(type)
        .Key("location").String(cli::AddressText(record))
        .Key("bar0").Uint(Bar0Address(record))
        .Key("window_length").Int(static_cast<long long>(inspect::WindowLength(type)));
}

constexpr char kCardColumns[] = "POS  TYPE  LOCATION  BAR0        WINDOW";

void PrintCardColumns(int position, int32_t type, const DeviceRecord* record) {
    std::printf("%-4d %-5d %-9s %-10s  %s\n", position, type, cli::AddressText(record).c_str(),
                Bar0Text(record).c_str(),
                cli::PrefixedHex(inspect::WindowLength(type), 1).c_str());
}

}  // namespace

int Cards(const cli::Args& args) {
    if (!ScanFoundFunctions())
        return cli::kExitFailure;
    cli::Json json;
    json.BeginArray();
    if (!args.json)
        std::printf("%s\n", kCardColumns);
    int32_t type = 0;
    int position = 0;
    for (const DeviceRecord* r; (r = inspect::CardAt(position, &type)); ++position) {
        if (args.json) {
            json.BeginObject();
            CardJson(json, position, type, r);
            json.EndObject();
        } else {
            PrintCardColumns(position, type, r);
        }
    }
    if (args.json)
        std::printf("%s\n", json.EndArray().Text().c_str());
    std::fflush(stdout);  // what stderr says comes after the table
    if (position == 0)
        std::fprintf(stderr, "quorel: no cards found (`quorel list` shows what the scan found)\n");
    PrintUnreachedNote();
    return cli::kExitOk;
}

int Boards(const cli::Args& args) {
    int valid[inspect::kBoardCount] = {};
    if (!ScanFoundFunctions())
        return cli::kExitFailure;
    Quorel_open2();
    Quorel_getvalidid2(valid);
    cli::Json json;
    json.BeginArray();
    if (!args.json)
        std::printf("BOARD  PRESENT  %s\n", kCardColumns);
    for (int board = 0; board < inspect::kBoardCount; ++board) {
        const DeviceRecord* record = inspect::BoardCard(board);
        int32_t type = 0;
        const int position = valid[board] ? PositionOf(record, type) : -1;
        if (args.json) {
            json.BeginObject().Key("board").Int(board).Key("present").Bool(valid[board]);
            if (valid[board])
                CardJson(json, position, type, record);
            json.EndObject();
        } else if (valid[board]) {
            std::printf("%-6d yes      ", board);
            PrintCardColumns(position, type, record);
        } else {
            std::printf("%-6d no\n", board);
        }
    }
    if (args.json)
        std::printf("%s\n", json.EndArray().Text().c_str());
    return cli::kExitOk;
}

int Read(const cli::Args& args) {
    const Syntax syntax{"read", usage::kRead, 1};
    Target target;
    std::vector<std::string> extra;
    int code = 0, reg = 0;
    if (!ParseCommand(args, syntax, target, extra, code))
        return code;
    if (!ParseRegister(extra[0], reg))
        return Usage(syntax, kRegisterRange);
    if (!OpenTarget(target))
        return cli::kExitFailure;
    PrintByte(args, target, "value", ReadRegister(target, reg));
    return cli::kExitOk;
}

int Write(const cli::Args& args) {
    const Syntax syntax{"write", usage::kWrite, 2};
    Target target;
    std::vector<std::string> extra;
    int code = 0, reg = 0, value = 0;
    if (!ParseCommand(args, syntax, target, extra, code))
        return code;
    if (!ParseRegister(extra[0], reg))
        return Usage(syntax, kRegisterRange);
    if (!ParseInRange(extra[1], 0, kMaxByte, value))
        return Usage(syntax, "VALUE must be 0 to 255");
    if (!OpenTarget(target))
        return cli::kExitFailure;
    WriteRegister(target, reg, value);
    return cli::kExitOk;
}

int Status(const cli::Args& args) {
    Target target;
    int code = 0;
    if (!ParseAndOpen(args, {"status", usage::kStatus, 0}, target, code))
        return code;
    PrintByte(args, target, "status", Quorel_sts());
    return cli::kExitOk;
}

int Reset(const cli::Args& args) {
    Target target;
    int code = 0;
    if (!ParseAndOpen(args, {"reset", usage::kReset, 0}, target, code))
        return code;
    Quorel_srst();
    return cli::kExitOk;
}

int Irq(const cli::Args& args) {
    const Syntax syntax{"irq", usage::kIrq, 1};
    const struct {
        const char* action;
        int (QUOREL_CALL* command)(void);
    } actions[] = {{"enable", Quorel_enint}, {"disable", Quorel_disint}, {"ack", Quorel_ackint}};
    Target target;
    std::vector<std::string> extra;
    int code = 0;
    if (!ParseCommand(args, syntax, target, extra, code))
        return code;
    for (const auto& a : actions) {
        if (extra[0] != a.action)
            continue;
        if (!OpenTarget(target))
            return cli::kExitFailure;
        a.command();
        return cli::kExitOk;
    }
    return Usage(syntax, "ACTION is enable, disable or ack");
}

int Dump(const cli::Args& args) {
    Target target;
    int code = 0;
    if (!ParseAndOpen(args, {"dump", usage::kDump, 0}, target, code))
        return code;
    std::vector<int> values;
    for (int reg = 0; reg <= kLastRegister; ++reg)
        values.push_back(ReadRegister(target, reg));
    const int status = Quorel_sts();  // after the reads: they select a board anew
    if (args.json) {
        cli::Json json;
        json.BeginObject();
        TargetJson(json, target);
        json.Key("registers").BeginArray();
        for (int v : values)
            json.Int(v);
        std::printf("%s\n", json.EndArray().Key("status").Int(status).EndObject().Text().c_str());
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
    cli::Json json;
    json.BeginObject().Key("major").Int(major).Key("minor").Int(minor).EndObject();
    std::printf("%s\n", json.Text().c_str());
    return cli::kExitOk;
}

}  // namespace commands
