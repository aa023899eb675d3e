// Up to four cards at once, each filed under the board ID it reports in its
// board-ID register, so that applications address a card by board ID rather
// than by its position on the buses.
#include "api/card_regs.h"
#include "api/card_search.h"
#include "api/card_state.h"
#include "api/pacing.h"
#include "api/register_io.h"
#include "driver/ulvexa.h"
#include "pci/device_list.h"
#include "quorel.h"
#include "registry/annotate.h"
#include "trace/trace.h"

using namespace quorel;

namespace {

// Maps the card at `position` and files it; false when there is no card
// there or its window cannot be mapped (such a card counts as not found:
// CardType and SelectedDevice are left as a failed search leaves them).
bool FileCard(int32_t position) {
    const int32_t type_before = CardType;
    SelectedDevice = FindCard(position);
    if (!SelectedDevice)
        return false;
    uint8_t* window = MapCardWindow(*SelectedDevice, CardType);
    if (!window) {
        SelectedDevice = nullptr;
        CardType = type_before;
        return false;
    }
    RegisterWindow = window;
    const uint8_t board_id_register = LoadRegisterByte(window, card::kBoardIdOffset);
    const int board = card::BoardIdFromRegister(board_id_register);
    trace::BoardFiled(board_id_register, board);
    CardSlots[board] = CardSlot{SelectedDevice, window, static_cast<uint8_t>(board), 1};
    return true;
}

// Points RegisterWindow at the board's window; false when the board ID is
// outside the table or its entry is empty (RegisterWindow then unchanged).
bool SelectBoard(int board) {
    if (board < 0 || board >= card::kBoardCount || CardSlots[board].valid != 1)
        return false;
    RegisterWindow = CardSlots[board].window;
    return true;
}

}  // namespace

extern "C" int QUOREL_CALL Quorel_open2(void) {
    bool filed = false;
    StartDiscovery();
    AnnotateFromRegistry();
    // Only the first four cards in search order are considered, whatever
    // board IDs they report.
    for (int32_t position = 0; position < card::kBoardCount; ++position)
        filed = FileCard(position) || filed;
    SetCounterScale();
    return filed ? QUOREL_SUCCESS : QUOREL_NOTHING_TO_ACT_ON;
}

extern "C" int QUOREL_CALL Quorel_close2(void) {
    ShutdownUlvexa();
    RegisterWindow = nullptr;
    for (CardSlot& slot : CardSlots)
        slot = CardSlot{};
    return QUOREL_SUCCESS;
}

// Once selected, a board is accessed exactly like the single open card,
// paced by the library-wide CardType.
extern "C" int QUOREL_CALL Quorel_in2(int board, int index) {
    return SelectBoard(board) ? Quorel_in(index) : QUOREL_NOTHING_TO_ACT_ON;
}

extern "C" int QUOREL_CALL Quorel_out2(int board, int index, int value) {
    return SelectBoard(board) ? Quorel_out(index, value) : QUOREL_NOTHING_TO_ACT_ON;
}

extern "C" int QUOREL_CALL Quorel_getvalidid2(int* ids) {
    if (!ids)
        return QUOREL_NOTHING_TO_ACT_ON;
    for (int board = 0; board < card::kBoardCount; ++board)
        ids[board] = CardSlots[board].valid;
    return QUOREL_SUCCESS;
}
