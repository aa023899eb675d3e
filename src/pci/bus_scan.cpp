// The once-per-process walk of every PCI bus reachable by configuration
// reads from bus 0 (and, when asked for, from the peer root buses:
// pci/peer_buses.h). It only reads: a bridge without bus numbers is not
// programmed, its bus is probed under the next free number.
#include <cstdlib>
#include <cstring>

#include "pci/config_access.h"
#include "pci/devfn.h"
#include "pci/device_list.h"
#include "pci/pci_regs.h"
#include "pci/peer_buses.h"
#include "pci/scan_internals.h"

namespace quorel {

namespace {

using namespace pci;

constexpr unsigned kDevfnCount = 255;  // devfn 255 (device 31, function 7) is never probed
constexpr uint32_t kBusNumbersAssigned = 0x00FFFFFF;

// Bridges whose secondary bus is not followed.
struct BridgeId {
    uint16_t vendor;
    uint16_t device;
};
constexpr BridgeId kUnfollowedBridges[] = {
    {0x1166, 0x0008}, {0x1166, 0x0009}, {0x1166, 0x0011},
    {0x0E11, 0x6010}, {0x8086, 0x84CB}, {0x8086, 0x84CA},
};

template <typename T>
T* AllocZeroed(size_t size = sizeof(T)) {
    void* p = std::malloc(size);
    if (p)
        std::memset(p, 0, size);
    return static_cast<T*>(p);
}

bool IsUnfollowedBridge(const DeviceRecord* r) {
    for (const BridgeId& b : kUnfollowedBridges)
        if (r->vendor_id == b.vendor && r->device_id == b.device)
            return true;
    return false;
}

uint8_t BusOf(const DeviceRecord* r) { return r->bus->number; }
uint8_t DevfnOf(const DeviceRecord* r) { return static_cast<uint8_t>(r->devfn); }

// Both copies of configuration bytes 0x00..0xFF, up to the first failed read;
// the rest stays zero.
void CopyConfigSpace(DeviceRecord* r, uint8_t* block) {
    for (unsigned offset = 0; offset < kConfigSize; offset += 4) {
        uint32_t v = 0;
        if (!PciReadDword(BusOf(r), DevfnOf(r), offset, &v))
            return;
        for (unsigned i = 0; i < 4; ++i)
            block[offset + i] = r->config_bytes[offset + i] = static_cast<uint8_t>(v >> (8 * i));
    }
}

uint32_t ReadRomBar(const DeviceRecord* r, uint16_t offset) {
    uint32_t v = 0;
    PciReadDword(BusOf(r), DevfnOf(r), offset, &v);
    return v == kAllOnes32 ? 0 : v;
}

uint32_t ReadIrq(const DeviceRecord* r) {
    uint8_t last = 0;
    PciReadByte(BusOf(r), DevfnOf(r), kInterruptPin, &last);
    if (last != 0)
        PciReadByte(BusOf(r), DevfnOf(r), kInterruptLine, &last);
    return last;  // the line, or 0 when no interrupt pin is used
}

// The fields that depend on the header layout. False: a layout we do not
// know, or a class that does not fit it; the function is dropped.
bool ReadLayoutFields(DeviceRecord* r) {
    uint32_t cls = r->class_code >> 8;
    switch (r->hdr_type & kHeaderLayoutMask) {
    case kLayoutNormal:
        if (cls == kClassPciBridge)
            return false;
        r->irq = ReadIrq(r);
        ReadBars(r, kBarCountNormal);
        r->rom_bar = ReadRomBar(r, kRomBar);
        return true;
    case kLayoutPciBridge:
        if (cls != kClassPciBridge)
            return false;
        ReadBars(r, kBarCountPciBridge);
        r->rom_bar = ReadRomBar(r, kBridgeRomBar);
        return true;
    case kLayoutCardBusBridge:
        if (cls != kClassCardBusBridge)
            return false;
        ReadBars(r, kBarCountCardBus);
        return true;
    default:
        return false;
    }
}

// Builds the record of a present function; null when it is dropped.
DeviceRecord* ReadFunction(BusNode* node, uint8_t devfn, uint8_t hdr, uint32_t ids) {
    DeviceRecord* r = AllocZeroed<DeviceRecord>();
    if (!r)
        return nullptr;
    r->bus = node;
    r->devfn = devfn;
    r->vendor_id = static_cast<uint16_t>(ids);
    r->device_id = static_cast<uint16_t>(ids >> 16);

    uint32_t subsystem = 0;
    PciReadDword(node->number, devfn, kSubsystem, &subsystem);
    r->subsystem_vendor_id = static_cast<uint16_t>(subsystem);
    r->subsystem_id = static_cast<uint16_t>(subsystem >> 16);

    uint8_t* block = AllocZeroed<uint8_t>(kConfigSize);
    if (!block) {
        internal::FreeRecord(r);
        return nullptr;
    }
    CopyConfigSpace(r, block);
    r->config_space = block;

    uint8_t command = 0;
    PciReadByte(node->number, devfn, kCommand, &command);
    r->bus_master = (command & kCommandBusMaster) != 0;
    uint32_t class_rev = 0;
    PciReadDword(node->number, devfn, kClassRevision, &class_rev);
    r->class_code = class_rev >> 8;
    r->hdr_type = hdr;

    if (!ReadLayoutFields(r)) {
        internal::FreeRecord(r);
        return nullptr;
    }
    return r;
}

void Append(BusNode* node, DeviceRecord*& bus_tail, DeviceRecord* r) {
    *device_list_tail = r;
    device_list_tail = &r->next;
    if (bus_tail)
        bus_tail->next_on_bus = r;
    else
        node->devices = r;
    bus_tail = r;
}

// Pass 1: every function of the node's bus, in ascending devfn.
void ScanFunctions(BusNode* node) {
    uint8_t multi = 0;
    DeviceRecord* bus_tail = nullptr;
    for (unsigned devfn = 0; devfn < kDevfnCount; ++devfn) {
        bool function0 = FunctionOf(devfn) == 0;
        if (!function0 && !multi)
            continue;
        uint8_t hdr = 0;
        if (!PciReadByte(node->number, devfn, kHeaderType, &hdr))
            continue;
        // Taken before the presence test: an absent function 0 reading 0xFF
        // gets its other functions probed too.
        if (function0)
            multi = hdr & kHeaderMultiFunction;
        uint32_t ids = 0;
        if (!PciReadDword(node->number, devfn, kVendorId, &ids) || IdsAbsent(ids))
            continue;
        if (DeviceRecord* r = ReadFunction(node, static_cast<uint8_t>(devfn), hdr, ids))
            Append(node, bus_tail, r);
    }
}

// Follows one PCI-to-PCI bridge of the node's bus; updates max.
void ScanBehindBridge(BusNode* node, DeviceRecord* r, uint32_t& max) {
    uint32_t buses = 0;  // primary, secondary, subordinate, latency timer
    PciReadDword(node->number, DevfnOf(r), kBusNumbers, &buses);
    bool numbered = (buses & kBusNumbersAssigned) != 0;
    uint8_t target = numbered ? static_cast<uint8_t>(buses >> 8) : static_cast<uint8_t>(max + 1);
    if (bus_seen[target])
        return;  // seen twice (firmware bug): ignored
    BusNode* child = AddChild(node, r);
    if (!child)
        return;
    ++max;
    child->secondary = child->number = static_cast<uint8_t>(max);
    child->primary = node->secondary;
    child->subordinate = 0xFF;
    if (numbered) {
        child->primary = static_cast<uint8_t>(buses);
        child->secondary = child->number = static_cast<uint8_t>(buses >> 8);
        child->subordinate = static_cast<uint8_t>(buses >> 16);
        uint32_t reached = ScanBus(child);
        if (reached > max)
            max = reached;
    } else {
        max = ScanBus(child);
        child->subordinate = static_cast<uint8_t>(max);
    }
}

}  // namespace

bool bus_seen[kBusCount];

BusNode* AddChild(BusNode* node, DeviceRecord* bridge) {
    BusNode* child = AllocZeroed<BusNode>();
    if (!child)
        return nullptr;
    child->next = node->children;
    node->children = child;
    child->bridge = bridge;
    child->parent = node;
    return child;
}

uint32_t ScanBus(BusNode* node) {
    bus_seen[node->number] = true;
    uint32_t max = node->secondary;
    ScanFunctions(node);
    // Pass 2: the buses behind this bus's PCI-to-PCI bridges, depth first.
    for (DeviceRecord* r = node->devices; r; r = r->next_on_bus) {
        if ((r->class_code >> 8) != kClassPciBridge || IsUnfollowedBridge(r))
            continue;
        ScanBehindBridge(node, r, max);
    }
    return max;
}

void ReadBars(DeviceRecord* record, unsigned count) {
    for (unsigned reg = 0; reg < count; ++reg) {
        uint32_t v = 0;
        DevReadDword(record, kBar0 + 4 * reg, &v);
        if (v == kAllOnes32)
            continue;  // slot stays 0
        record->bar[reg] = v;
        if ((v & kBarTypeMask) == kBarMem64) {
            // The next register is the upper half. Only 32-bit addresses
            // are recorded: an address above 4 GiB becomes 0.
            uint32_t upper = 0;
            DevReadDword(record, kBar0 + 4 * ++reg, &upper);
            if (upper != 0)
                record->bar[reg - 1] = 0;
        }
    }
}

void StartDiscovery() {
    ClassifyOs();
    if (discovery_done == 1)
        return;
    // When driver access cannot be opened every read fails and the list
    // stays empty; discovery still counts as done.
    OpenDriver();
    root_bus = BusNode{};
    std::memset(bus_seen, 0, sizeof(bus_seen));
    root_bus.subordinate = static_cast<uint8_t>(ScanBus(&root_bus));
    peer_buses_scanned = PeerBusesRequested() ? 1 : 0;
    if (peer_buses_scanned)
        ScanPeerBuses(&root_bus);
    RemoveDriver();
    discovery_done = 1;
}

}  // namespace quorel
