#include "api/card_state.h"

namespace quorel {

// RegisterWindow and CardType are defined in single_card.cpp, beside the
// register exports that read them on every call.
DeviceRecord* SelectedDevice = nullptr;
PhysMapRecord WindowMapRecord = {};
CardSlot CardSlots[card::kBoardCount];

}  // namespace quorel
