// The opt-in probe of peer root buses, and the same probe run aside for a
// diagnostic that says what it would add.
#include "pci/peer_buses.h"

#include <algorithm>
#include <cstring>

#include "pci/config_access.h"
#include "pci/scan_internals.h"
#include "platform/windows_api.h"

namespace quorel {

namespace {

using namespace pci;

constexpr uint32_t kHighestBus = kBusCount - 1;

// A bus answers when function 0 of any of its devices does. Function 0 is
// enough: a device without it has no other functions either.
bool BusAnswers(uint8_t bus) {
    for (unsigned device = 0; device < kDeviceCount; ++device) {
        uint32_t ids = 0;
        if (PciReadDword(bus, static_cast<uint8_t>(device << 3), kVendorId, &ids) == 0 &&
            !IdsAbsent(ids))
            return true;
    }
    return false;
}

// Where a probe run aside appends, and the state it must leave untouched.
// The constructor diverts the scan's list and seen buses, the destructor
// puts them back and frees what the probe found.
class AsideProbe {
public:
    AsideProbe() : saved_tail_(device_list_tail) {
        std::memcpy(saved_seen_, bus_seen, sizeof(saved_seen_));
        device_list_tail = &found_;
    }
    ~AsideProbe() {
        device_list_tail = saved_tail_;
        std::memcpy(bus_seen, saved_seen_, sizeof(saved_seen_));
        internal::FreeRecords(found_);
        internal::FreeBusNodes(&root_);
    }
    AsideProbe(const AsideProbe&) = delete;
    AsideProbe& operator=(const AsideProbe&) = delete;

    BusNode* root() { return &root_; }
    const DeviceRecord* found() const { return found_; }

private:
    DeviceRecord** saved_tail_;
    bool saved_seen_[kBusCount];
    DeviceRecord* found_ = nullptr;
    BusNode root_{};
};

}  // namespace

bool PeerBusesRequested() {
    // Through kernel32, not getenv: the C runtime's copy of the environment
    // misses SetEnvironmentVariable calls made after the process started.
    char value[2];
    return GetEnvironmentVariableA(kPeerBusesVariable, value, sizeof(value)) == 1 &&
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

std::vector<PeerFunction> PeerBusFunctions() {
    std::vector<PeerFunction> functions;
    if (discovery_done != 1 || peer_buses_scanned)
        return functions;
    const bool was_open = driver_open != 0;
    if (OpenDriver() != 0)
        return functions;
    {
        AsideProbe aside;
        ScanPeerBuses(aside.root());
        for (const DeviceRecord* r = aside.found(); r; r = r->next)
            functions.push_back({r->bus->number, static_cast<uint8_t>(r->devfn), r->vendor_id,
                                 r->device_id});
    }
    if (!was_open)
        RemoveDriver();
    return functions;
}

}  // namespace quorel
