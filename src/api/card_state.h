// The library's process-wide card state. Every export reads and writes these
// directly and nothing locks them: applications serialise their calls.
#ifndef QUOREL_API_CARD_STATE_H
#define QUOREL_API_CARD_STATE_H

#include <cstdint>

#include "api/card_regs.h"
#include "driver/ulvexa.h"
#include "pci/device_list.h"

namespace quorel {

// One entry of the multi-card table, indexed by board ID. Built empty at load.
struct CardSlot {
    DeviceRecord* device = nullptr;  // the card filed under this board ID
    uint8_t* window = nullptr;       // its mapped register window
    uint8_t board_id = 0;            // equal to the entry's index
    int32_t valid = 0;               // 1 while the entry holds an opened card
};

// Window the single-card operations address; null while no card is open.
extern uint8_t* RegisterWindow;
// Variant of the card found last (card::kType1 or kType2), 0 before any.
extern int32_t CardType;
// Record of the card that the last search returned, null when it found none.
extern DeviceRecord* SelectedDevice;
// The one record handed to MapPhysToLin, refilled for every mapping.
extern PhysMapRecord WindowMapRecord;
// The multi-card table.
extern CardSlot CardSlots[card::kBoardCount];

namespace internal {
// Puts every card-access global (pacing included) back to its value at load.
void ResetCardAccess();
}  // namespace internal

}  // namespace quorel

#endif  // QUOREL_API_CARD_STATE_H
