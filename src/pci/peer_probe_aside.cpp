// The peer-bus probe run aside, for the tool's note on what it would add.
#include <cstring>

#include "driver/ulvexa.h"
#include "pci/config_access.h"
#include "pci/peer_buses.h"
#include "pci/probe_aside.h"
#include "pci/scan_internals.h"

namespace quorel {

namespace {

using namespace pci;

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

bool WithDriverAside(const std::function<void()>& probe) {
    if (discovery_done != 1)
        return false;
    const bool was_open = driver_open != 0;
    if (!was_open && driver_init_result != ULVEXA_INITIALIZED)
        return false;
    if (!OpenDriver())
        return false;
    probe();
    if (!was_open)
        RemoveDriver();
    return true;
}

std::vector<PeerFunction> PeerProbeAside(bool (&covered)[kBusCount]) {
    std::vector<PeerFunction> functions;
    AsideProbe aside;
    if (!peer_buses_scanned)
        ScanPeerBuses(aside.root());
    for (const DeviceRecord* r = aside.found(); r; r = r->next)
        functions.push_back({r->bus->number, static_cast<uint8_t>(r->devfn), r->vendor_id,
                             r->device_id});
    std::memcpy(covered, bus_seen, sizeof(covered));
    return functions;
}

std::vector<PeerFunction> PeerBusFunctions() {
    std::vector<PeerFunction> functions;
    if (peer_buses_scanned)
        return functions;
    WithDriverAside([&functions] {
        bool covered[kBusCount];
        functions = PeerProbeAside(covered);
    });
    return functions;
}

}  // namespace quorel
