#include "card_target.h"

#include <climits>
#include <string>

#include "api/inspect.h"
#include "failure.h"
#include "quorel.h"
#include "scan_diagnosis.h"

namespace commands {

namespace {

bool OpenPosition(int position) {
    const int result = Quorel_open(position);
    if (result == QUOREL_NOTHING_TO_ACT_ON && ScanFoundFunctions())
        cli::Fail("no card at position " + std::to_string(position) + " (see `quorel cards`)");
    else if (result == QUOREL_MAP_FAILED)
        cli::Fail("the register window of card " + std::to_string(position) +
                  " could not be mapped (`quorel doctor` says why)");
    return result == QUOREL_SUCCESS;
}

bool OpenBoard(int board) {
    int valid[quorel::inspect::kBoardCount] = {};
    Quorel_open2();
    Quorel_getvalidid2(valid);
    if (!valid[board]) {
        if (ScanFoundFunctions())
            cli::Fail("no card reports board ID " + std::to_string(board) + " (see `quorel boards`)");
        return false;
    }
    // Index 255 is refused without touching the card, yet selects the board
    // for Quorel_sts and the control commands.
    Quorel_in2(board, quorel::inspect::kStatusRegister);
    return true;
}

}  // namespace

bool ParseInRange(const std::string& text, long long low, long long high, int& out) {
    long long value = 0;
    if (!cli::ParseNumber(text, value) || value < low || value > high)
        return false;
    out = static_cast<int>(value);
    return true;
}

bool ParseTarget(const cli::Args& args, Target& target, size_t& rest, std::string& error) {
    if (args.board) {
        if (*args.board < 0 || *args.board >= quorel::inspect::kBoardCount) {
            error = "board ID must be 0 to 3";
            return false;
        }
        target = Target{true, static_cast<int>(*args.board)};
        rest = 0;
        return true;
    }
    if (args.positional.empty() ||
        !ParseInRange(args.positional[0], INT_MIN, INT_MAX, target.number)) {
        error = "POS must be a card position (a number)";
        return false;
    }
    target.by_board = false;
    rest = 1;
    return true;
}

bool OpenTarget(const Target& target) {
    return target.by_board ? OpenBoard(target.number) : OpenPosition(target.number);
}

int ReadRegister(const Target& target, int reg) {
    return target.by_board ? Quorel_in2(target.number, reg) : Quorel_in(reg);
}

int WriteRegister(const Target& target, int reg, int value) {
    return target.by_board ? Quorel_out2(target.number, reg, value) : Quorel_out(reg, value);
}

void TargetJson(cli::Json& json, const Target& target) {
    json.Key(target.by_board ? "board" : "position").Int(target.number);
}

}  // namespace commands
