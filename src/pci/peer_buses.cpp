// The opt-in probe of peer root buses. The same probe run aside for the
// tool's note is in peer_probe_aside.cpp.
#include "pci/peer_buses.h"

#include <algorithm>

#include "pci/config_access.h"
#include "pci/devfn.h"
#include "pci/scan_internals.h"
#include "platform/windows_api.h"
#include "settings/settings.h"

namespace quorel {

namespace {

using namespace pci;

constexpr uint32_t kHighestBus = kBusCount - 1;

}  // namespace

// Function 0 is enough: a device without it has no other functions either.
bool BusAnswers(uint8_t bus) {
    for (unsigned device = 0; device < kDeviceCount; ++device) {
        uint32_t ids = 0;
        if (PciReadDword(bus, Devfn(device, 0), kVendorId, &ids) &&
            !IdsAbsent(ids))
            return true;
    }
    return false;
}

bool PeerBusesRequested() {
    // Through kernel32, not getenv: the C runtime's copy of the environment
    // misses SetEnvironmentVariable calls made after the process started.
    char value[2];
    return GetEnvironmentVariableA(settings::kScanPeerBuses, value, sizeof(value)) == 1 &&
           value[0] == '1';
}

void ScanPeerBuses(BusNode* root) {
    for (uint32_t number = 1; number <= kHighestBus; ++number) {
        const uint8_t bus = static_cast<uint8_t>(number);
        if (bus_seen[bus] || !BusAnswers(bus))
            continue;
        BusNode* node = AddChild(root, nullptr);
        if (!node)
            continue;
        node->number = node->primary = node->secondary = bus;
        node->subordinate = static_cast<uint8_t>(std::min(ScanBus(node), kHighestBus));
    }
}

}  // namespace quorel
