#include "api/inspect.h"

#include "api/card_search.h"
#include "api/card_state.h"
#include "driver/ulvexa.h"
#include "pci/config_access.h"
#include "pci/pci_regs.h"
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

std::vector<UnscannedFunction> FunctionsNoScanReaches() {
    StartDiscovery();
    return UnscannedFunctions();
}

namespace {

uint32_t ConfigDword(const DeviceRecord* r, unsigned offset) {
    uint32_t v = 0;
    for (unsigned i = 0; i < 4; ++i)
        v |= static_cast<uint32_t>(r->config_bytes[offset + i]) << (8 * i);
    return v;
}

}  // namespace

int DriverInitResult() {
    if (driver_open != 0)
        return kInitializeSuccess;
    if (driver_init_result != kNoInitResult)
        return driver_init_result;
    const uint8_t result = InitializeUlvexa();
    if (result == kInitializeSuccess)
        RemoveUlvexaDriver();
    return result;
}

BarProblem CheckBar0(const DeviceRecord* card) {
    if (IsMappableBar(card->bar[0]))
        return BarProblem::kNone;
    if (card->bar[0] & card::kBarIoSpace)
        return BarProblem::kIoSpace;
    // The scan records a 64-bit BAR above 4 GiB as 0; the configuration
    // copy still holds both halves.
    const uint32_t low = ConfigDword(card, pci::kBar0);
    if ((low & pci::kBarTypeMask) == pci::kBarMem64 && ConfigDword(card, pci::kBar0 + 4) != 0)
        return BarProblem::kAbove4GiB;
    return BarProblem::kUnassigned;
}

const DeviceRecord* CardAt(int32_t position, int32_t* type) { return LocateCard(position, type); }

uint64_t WindowLength(int32_t type) { return card::WindowLength(type); }

const DeviceRecord* BoardCard(int board) {
    if (board < 0 || board >= kBoardCount || !CardSlots[board].valid)
        return nullptr;
    return CardSlots[board].device;
}

}  // namespace quorel::inspect
