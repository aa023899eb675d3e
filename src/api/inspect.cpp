#include "api/inspect.h"

#include "api/card_regs.h"
#include "api/card_search.h"
#include "api/card_state.h"
#include "api/inspect_views.h"
#include "driver/ulvexa.h"
#include "pci/config_access.h"
#include "pci/os_family.h"
#include "registry/annotate.h"
#include "registry/lookup_keys.h"

namespace quorel::inspect {

static_assert(kBoardCount == card::kBoardCount, "one board table");
static_assert(kStatusRegister == card::kCsrIndex, "one control/status register");
static_assert(kBoardIdRegister * card::kRegisterStride == card::kBoardIdOffset, "one board-ID register");

int BoardIdFromRegister(uint8_t value) { return card::BoardIdFromRegister(value); }

unsigned Discover() {
    StartDiscovery();
    unsigned found = 0;
    for (const DeviceRecord* r = device_list; r; r = r->next)
        ++found;
    return found;
}

void Annotate() { AnnotateFromRegistry(); }

std::vector<Function> Functions() {
    std::vector<Function> functions;
    for (const DeviceRecord* r = device_list; r; r = r->next)
        functions.push_back(ViewOf(*r));
    return functions;
}

Bus RootBus() { return ViewOf(root_bus); }

std::vector<PeerFunction> UnreachedFunctions() {
    StartDiscovery();
    std::vector<PeerFunction> views;
    for (const quorel::PeerFunction& f : PeerBusFunctions())
        views.push_back(ViewOf(f));
    return views;
}

std::vector<UnscannedFunction> FunctionsNoScanReaches() {
    StartDiscovery();
    std::vector<UnscannedFunction> views;
    for (const quorel::UnscannedFunction& f : UnscannedFunctions())
        views.push_back({ViewOf(f.at), f.why == quorel::UnscannedFunction::kLastDevfn});
    return views;
}

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

namespace {

Card CardView(int32_t position, int32_t type, const DeviceRecord& record) {
    return Card{position, type, card::WindowLength(type), ViewOf(record)};
}

}  // namespace

std::vector<Card> Cards() {
    std::vector<Card> cards;
    int32_t type = 0;
    for (int32_t position = 0; const DeviceRecord* r = LocateCard(position, &type); ++position)
        cards.push_back(CardView(position, type, *r));
    return cards;
}

std::optional<Card> BoardCard(int board) {
    if (board < 0 || board >= kBoardCount || !CardSlots[board].valid)
        return std::nullopt;
    int32_t type = 0;
    for (int32_t position = 0; const DeviceRecord* r = LocateCard(position, &type); ++position)
        if (r == CardSlots[board].device)
            return CardView(position, type, *r);
    return std::nullopt;
}

bool NineXRegistry() { return IsNineXFamily(OsFamily); }

std::vector<std::wstring> HardwareIdKeys(const Location& at) {
    const DeviceRecord* record = RecordAt(at);
    if (!record)
        return {};
    registry::Text with_subsystem, without_subsystem;
    HardwareIdKeyPaths(*record, with_subsystem, without_subsystem);
    return {with_subsystem, without_subsystem};
}

const RegistryReads& RegistryReadList() {
    namespace keys = registry::keys;
    static const RegistryReads reads{
        {std::begin(keys::kInstanceValues), std::end(keys::kInstanceValues)},
        keys::kInstanceSubkey,
        keys::kConfigManagerEntries,
        keys::kHardwareKey,
        keys::kStaticKeyPrefix,
        {std::begin(keys::kStaticValues), std::end(keys::kStaticValues)}};
    return reads;
}

bool IsPciHardwareKey(const std::wstring& key) {
    uint16_t vendor = 0, device = 0;
    return PciIds(key.c_str(), &vendor, &device);
}

}  // namespace quorel::inspect
