#include "card_target.h"

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

bool OpenTarget(const cli::Target& target) {
    return target.by_board ? OpenBoard(target.number) : OpenPosition(target.number);
}

std::optional<quorel::inspect::Card> TargetCard(const cli::Target& target) {
    if (target.by_board)
        return quorel::inspect::BoardCard(target.number);
    for (const quorel::inspect::Card& card : quorel::inspect::Cards())
        if (card.position == target.number)
            return card;
    return std::nullopt;
}

int ReadRegister(const cli::Target& target, int reg) {
    return target.by_board ? Quorel_in2(target.number, reg) : Quorel_in(reg);
}

int WriteRegister(const cli::Target& target, int reg, int value) {
    return target.by_board ? Quorel_out2(target.number, reg, value) : Quorel_out(reg, value);
}

cli::Json TargetJson(const cli::Target& target) {
    return cli::Json{{target.by_board ? "board" : "position", target.number}};
}

}  // namespace commands
