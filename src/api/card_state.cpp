#include "api/card_state.h"

#include "api/pacing.h"

namespace quorel {

// RegisterWindow and CardType are defined in single_card.cpp, beside the
// register exports that read them on every call.
DeviceRecord* SelectedDevice = nullptr;
::PhysMapRecord PhysMapRecord = {};
CardSlot CardSlots[card::kBoardCount];

void internal::ResetCardAccess() {
    RegisterWindow = nullptr;
    CardType = 0;
    SelectedDevice = nullptr;
    PhysMapRecord = {};
    for (CardSlot& slot : CardSlots)
        slot = CardSlot{};
    MicrosPerTick = 0.0;
    Wr2WrDelay = kDefaultWriteDelayMicros;
}

}  // namespace quorel
