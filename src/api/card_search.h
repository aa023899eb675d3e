// Finding a card by position and mapping its register window.
#ifndef QUOREL_API_CARD_SEARCH_H
#define QUOREL_API_CARD_SEARCH_H

#include <cstdint>

#include "pci/device_list.h"

namespace quorel {

// The card at `position` (from 0) among all cards: every type-1 card in
// device-list order, then every type-2 card. Null when there is none; else
// *type receives its variant. Changes no state.
DeviceRecord* LocateCard(int32_t position, int32_t* type);
// LocateCard that also sets CardType when it finds a card.
DeviceRecord* FindCard(int32_t position);

// True when BAR0 describes memory at a non-zero base, the only kind of
// window MapPhysToLin may be asked for.
bool IsMappableBar(uint32_t bar0);
// Fills WindowMapRecord for `card` of variant `type` and maps the window.
// Null when the BAR is not mappable or the driver refuses.
uint8_t* MapCardWindow(const DeviceRecord& card, int32_t type);

}  // namespace quorel

#endif  // QUOREL_API_CARD_SEARCH_H
