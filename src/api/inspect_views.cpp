// The views of api/inspect.h, copied from the device list and the bus tree.
#include "api/inspect_views.h"

#include <cstring>

#include "api/card_regs.h"
#include "api/card_search.h"
#include "pci/pci_regs.h"

namespace quorel::inspect {

namespace {

constexpr uint32_t kIoAddressMask = ~3u;
constexpr uint32_t kMemoryAddressMask = ~0xFu;
constexpr unsigned kUpperHalfShift = 32;

uint32_t ConfigDword(const DeviceRecord& r, unsigned offset) {
    uint32_t v = 0;
    for (unsigned i = 0; i < 4; ++i)
        v |= static_cast<uint32_t>(r.config_bytes[offset + i]) << (8 * i);
    return v;
}

unsigned BarCount(const DeviceRecord& r) {
    switch (r.hdr_type & pci::kHeaderLayoutMask) {
    case pci::kLayoutNormal:
        return pci::kBarCountNormal;
    case pci::kLayoutPciBridge:
        return pci::kBarCountPciBridge;
    default:
        return pci::kBarCountCardBus;
    }
}

// Decodes register `index`; a 64-bit BAR advances `index` past its upper half.
DecodedBar DecodeBar(const DeviceRecord& r, unsigned& index, unsigned count) {
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

std::vector<DecodedBar> DecodeBars(const DeviceRecord& record) {
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

BarProblem CheckBar0(const DeviceRecord& card) {
    if (IsMappableBar(card.bar[0]))
        return BarProblem::kNone;
    if (card.bar[0] & card::kBarIoSpace)
        return BarProblem::kIoSpace;
    // The scan records a 64-bit BAR above 4 GiB as 0; the configuration
    // copy still holds both halves.
    const uint32_t low = ConfigDword(card, pci::kBar0);
    if ((low & pci::kBarTypeMask) == pci::kBarMem64 && ConfigDword(card, pci::kBar0 + 4) != 0)
        return BarProblem::kAbove4GiB;
    return BarProblem::kUnassigned;
}

// What the card search takes: the vendor and either variant's device ID
// (asking the search itself for every position is quadratic in the list).
bool IsCard(const DeviceRecord& record) {
    return record.vendor_id == card::kVendorId &&
           (record.device_id == card::kDeviceIdType1 || record.device_id == card::kDeviceIdType2);
}

// A record's text field up to its NUL, at most the whole field.
template <size_t N>
std::string Text(const char (&field)[N]) {
    return std::string(field, strnlen(field, N));
}

RegistryTexts RegistryOf(const DeviceRecord& r) {
    const GUID& g = r.class_guid;
    RegistryTexts texts{r.registry_matched, Text(r.device_desc), Text(r.hardware_key),
                        Text(r.config_manager_key), Text(r.class_guid_text),
                        {g.Data1, g.Data2, g.Data3, {}}};
    std::memcpy(texts.class_guid.data4, g.Data4, sizeof(g.Data4));
    return texts;
}

Location LocationOf(const DeviceRecord& r) { return {r.bus->number, static_cast<uint8_t>(r.devfn)}; }

}  // namespace

Function ViewOf(const DeviceRecord& r) {
    Function f;
    static_cast<Location&>(f) = LocationOf(r);
    f.vendor_id = r.vendor_id;
    f.device_id = r.device_id;
    f.subsystem_vendor_id = r.subsystem_vendor_id;
    f.subsystem_id = r.subsystem_id;
    f.class_code = r.class_code;
    f.hdr_type = r.hdr_type;
    f.bus_master = r.bus_master;
    f.irq = r.irq;
    std::memcpy(f.bar, r.bar, sizeof(f.bar));
    f.rom_bar = r.rom_bar;
    f.bars = DecodeBars(r);
    f.card_bar_problem = IsCard(r) ? CheckBar0(r) : BarProblem::kNone;
    f.registry = RegistryOf(r);
    return f;
}

Bus ViewOf(const BusNode& node) {
    Bus bus{node.number, node.primary, node.secondary, node.subordinate, {}, {}, {}};
    if (node.bridge)
        bus.bridge = LocationOf(*node.bridge);
    for (const DeviceRecord* r = node.devices; r; r = r->next_on_bus)
        bus.functions.push_back(ViewOf(*r));
    // The chain holds the newest child first.
    for (const BusNode* child = node.children; child; child = child->next)
        bus.children.insert(bus.children.begin(), ViewOf(*child));
    return bus;
}

PeerFunction ViewOf(const quorel::PeerFunction& f) {
    PeerFunction view;
    view.bus = f.bus;
    view.devfn = f.devfn;
    view.vendor_id = f.vendor_id;
    view.device_id = f.device_id;
    return view;
}

const DeviceRecord* RecordAt(const Location& at) {
    for (const DeviceRecord* r = device_list; r; r = r->next)
        if (r->bus->number == at.bus && r->devfn == at.devfn)
            return r;
    return nullptr;
}

}  // namespace quorel::inspect
