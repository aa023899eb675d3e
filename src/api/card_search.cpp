#include "api/card_search.h"

#include "api/card_regs.h"
#include "api/card_state.h"
#include "driver/ulvexa.h"
#include "trace/trace.h"

namespace quorel {

namespace {

struct Variant {
    uint16_t device_id;
    int32_t type;
};

// Search order: all type-1 cards, then all type-2 cards.
constexpr Variant kVariants[] = {
    {card::kDeviceIdType1, card::kType1},
    {card::kDeviceIdType2, card::kType2},
};

}  // namespace

DeviceRecord* LocateCard(int32_t position, int32_t* type) {
    int32_t passed = 0;
    for (const Variant& variant : kVariants) {
        for (uint32_t n = 1;; ++n) {
            DeviceRecord* record = FindNthById(card::kVendorId, variant.device_id, n);
            if (!record)
                break;
            if (passed == position) {
                *type = variant.type;
                return record;
            }
            ++passed;
        }
    }
    return nullptr;
}

DeviceRecord* FindCard(int32_t position) {
    int32_t type = 0;
    DeviceRecord* record = LocateCard(position, &type);
    if (record) {
        CardType = type;
        trace::CardFound(position, record->bus->number, record->devfn, type, record->bar[0]);
    } else {
        trace::NoCardAt(position);
    }
    return record;
}

bool IsMappableBar(uint32_t bar0) {
    return (bar0 & card::kBarIoSpace) == 0 && (bar0 & card::kBarAddressMask) != 0;
}

uint8_t* MapCardWindow(const DeviceRecord& record, int32_t type) {
    WindowMapRecord.length = card::WindowLength(type);
    WindowMapRecord.phys_addr = record.bar[0] & card::kBarAddressMask;
    // An unassigned (zero) BAR or an I/O-space BAR would have the driver map
    // physical page 0 or some unrelated memory: never ask for it.
    if (!IsMappableBar(record.bar[0])) {
        trace::BarNotMappable(record.bar[0]);
        return nullptr;
    }
    uint8_t* window = MapPhysToLin(&WindowMapRecord);
    trace::WindowMapped(WindowMapRecord.phys_addr, WindowMapRecord.length, window);
    return window;
}

}  // namespace quorel
