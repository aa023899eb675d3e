#include "api/inspect.h"

#include "api/card_search.h"
#include "api/card_state.h"
#include "registry/annotate.h"

namespace quorel::inspect {

const DeviceRecord* Discover() {
    StartDiscovery();
    return device_list;
}

void Annotate() { AnnotateFromRegistry(); }

const DeviceRecord* Devices() { return device_list; }

const BusNode* RootBus() { return &root_bus; }

std::vector<PeerFunction> UnreachedFunctions() {
    StartDiscovery();
    return PeerBusFunctions();
}

const DeviceRecord* CardAt(int32_t position, int32_t* type) { return LocateCard(position, type); }

uint64_t WindowLength(int32_t type) { return card::WindowLength(type); }

const DeviceRecord* BoardCard(int board) {
    if (board < 0 || board >= kBoardCount || !CardSlots[board].valid)
        return nullptr;
    return CardSlots[board].device;
}

}  // namespace quorel::inspect
