// The configuration reads behind `quorel snapshot`: every function the bus
// scan and the peer-bus probe could read, read again through the driver.
// Compiled into the core only, like the rest of the inspection view.
#include <cstring>

#include "api/inspect.h"
#include "pci/config_access.h"
#include "pci/pci_regs.h"
#include "pci/peer_buses.h"

namespace quorel::inspect {

namespace {

using namespace pci;

constexpr unsigned kDevfnCount = 255;  // the scan never probes devfn 255
constexpr unsigned kDwords = kConfigSize / 4;

void MarkTreeBuses(const BusNode* node, bool* scanned) {
    scanned[node->number] = true;
    for (const BusNode* child = node->children; child; child = child->next)
        MarkTreeBuses(child, scanned);
}

// Reads dword n of the function into out; false when the read failed.
bool ReadDword(FunctionConfig& out, unsigned n) {
    uint32_t v = kAllOnes32;
    const bool read = PciReadDword(out.bus, out.devfn, 4 * n, &v);
    if (!read)
        out.failed |= uint64_t{1} << n;
    std::memcpy(out.bytes + 4 * n, &v, sizeof(v));  // PCI and x86 alike: little-endian
    return read && v != kAllOnes32;
}

// All 64 dwords; false, after two reads, for an empty slot: the dwords a
// scan reads of one (IDs, header type) both read as all ones.
bool ReadFunction(uint8_t bus, uint8_t devfn, FunctionConfig& out) {
    out = FunctionConfig{bus, devfn, {}, 0};
    const unsigned ids = kVendorId / 4, header = kHeaderType / 4;
    const bool answers = ReadDword(out, ids);
    if (!ReadDword(out, header) && !answers && out.failed == 0)
        return false;
    for (unsigned n = 0; n < kDwords; ++n)
        if (n != ids && n != header)
            ReadDword(out, n);
    return true;
}

}  // namespace

ConfigCapture CaptureConfigSpace() {
    ConfigCapture capture;
    Discover();
    bool scanned[kBusCount] = {};
    MarkTreeBuses(&root_bus, scanned);
    const bool was_open = driver_open != 0;
    if (!OpenDriver())
        return capture;
    capture.driver_opened = true;
    FunctionConfig function;
    for (unsigned bus = 0; bus < kBusCount; ++bus) {
        const uint8_t number = static_cast<uint8_t>(bus);
        if (!scanned[bus] && !BusAnswers(number))
            continue;
        for (unsigned devfn = 0; devfn < kDevfnCount; ++devfn)
            if (ReadFunction(number, static_cast<uint8_t>(devfn), function))
                capture.functions.push_back(function);
    }
    if (!was_open)
        RemoveDriver();
    return capture;
}

}  // namespace quorel::inspect
