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
        return ULVEXA_INITIALIZED;
    if (driver_init_result != kNoInitResult)
        return driver_init_result;
    const uint8_t result = InitializeUlvexa();
    if (result == ULVEXA_INITIALIZED)
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

namespace {

constexpr uint32_t kIoAddressMask = ~3u;
constexpr uint32_t kMemoryAddressMask = ~0xFu;
constexpr unsigned kUpperHalfShift = 32;

unsigned BarCount(const DeviceRecord* r) {
    switch (r->hdr_type & pci::kHeaderLayoutMask) {
    case pci::kLayoutNormal:
        return pci::kBarCountNormal;
    case pci::kLayoutPciBridge:
        return pci::kBarCountPciBridge;
    default:
        return pci::kBarCountCardBus;
    }
}

// Decodes register `index`; a 64-bit BAR advances `index` past its upper half.
DecodedBar DecodeBar(const DeviceRecord* r, unsigned& index, unsigned count) {
    const uint32_t low = ConfigDword(r, pci::kBar0 + 4 * index);
    DecodedBar bar{index, (low & card::kBarIoSpace) != 0, false, 0};
    if (bar.io) {
        bar.address = low & kIoAddressMask;
        return bar;
    }
    bar.address = low & kMemoryAddressMask;
    bar.wide = (low & pci::kBarTypeMask) == pci::kBarMem64 && index + 1 < count;
    if (bar.wide)
        bar.address |= static_cast<uint64_t>(ConfigDword(r, pci::kBar0 + 4 * ++index))
                       << kUpperHalfShift;
    return bar;
}

}  // namespace

std::vector<DecodedBar> DecodeBars(const DeviceRecord* record) {
    std::vector<DecodedBar> bars;
    const unsigned count = BarCount(record);
    for (unsigned index = 0; index < count; ++index) {
        if (ConfigDword(record, pci::kBar0 + 4 * index) == pci::kAllOnes32)
            continue;
        const DecodedBar bar = DecodeBar(record, index, count);
        if (bar.address != 0)
            bars.push_back(bar);
    }
    return bars;
}

const DeviceRecord* CardAt(int32_t position, int32_t* type) { return LocateCard(position, type); }

uint64_t WindowLength(int32_t type) { return card::WindowLength(type); }

const DeviceRecord* BoardCard(int board) {
    if (board < 0 || board >= kBoardCount || !CardSlots[board].valid)
        return nullptr;
    return CardSlots[board].device;
}

}  // namespace quorel::inspect
