// The probe for functions that answer where no scan of the library looks,
// run aside for the tool's account of an empty scan.
#include "pci/config_access.h"
#include "pci/devfn.h"
#include "pci/probe_aside.h"

namespace quorel {

namespace {

using namespace pci;

constexpr uint8_t kNeverProbedDevfn = 0xFF;  // device 1f function 7
constexpr unsigned kLastDevice = kDeviceCount - 1;
constexpr unsigned kFunctionCount = 8;

bool Answers(uint8_t bus, uint8_t devfn, uint32_t* ids) {
    return PciReadDword(bus, devfn, kVendorId, ids) && !IdsAbsent(*ids);
}

void Add(std::vector<UnscannedFunction>& found, uint8_t bus, uint8_t devfn, uint32_t ids,
         UnscannedFunction::Why why) {
    const PeerFunction at{bus, devfn, static_cast<uint16_t>(ids), static_cast<uint16_t>(ids >> 16)};
    found.push_back({at, why});
}

// On a scanned bus: device 1f function 7, where the scan would look (its
// function 0 is multi-function, or absent) but for its devfn.
void ProbeLastDevfn(uint8_t bus, std::vector<UnscannedFunction>& found) {
    uint8_t header = 0;
    PciReadByte(bus, Devfn(kLastDevice, 0), kHeaderType, &header);  // all ones when absent
    uint32_t ids = 0;
    if ((header & kHeaderMultiFunction) && Answers(bus, kNeverProbedDevfn, &ids))
        Add(found, bus, kNeverProbedDevfn, ids, UnscannedFunction::kLastDevfn);
}

// On a bus no scan reaches: functions 1 to 7 of each device without
// function 0 (a device with one would have had the peer-bus probe scan it).
void ProbeWithoutFunction0(uint8_t bus, std::vector<UnscannedFunction>& found) {
    for (unsigned device = 0; device < kDeviceCount; ++device) {
        uint32_t ids = 0;
        if (Answers(bus, Devfn(device, 0), &ids))
            continue;
        for (unsigned function = 1; function < kFunctionCount; ++function) {
            const uint8_t devfn = Devfn(device, function);
            if (!Answers(bus, devfn, &ids))
                continue;
            Add(found, bus, devfn, ids,
                devfn == kNeverProbedDevfn ? UnscannedFunction::kLastDevfn
                                           : UnscannedFunction::kNoFunction0);
        }
    }
}

}  // namespace

std::vector<UnscannedFunction> UnscannedFunctions() {
    std::vector<UnscannedFunction> found;
    WithDriverAside([&found] {
        bool covered[kBusCount];
        PeerProbeAside(covered);
        for (unsigned bus = 0; bus < kBusCount; ++bus) {
            if (covered[bus])
                ProbeLastDevfn(static_cast<uint8_t>(bus), found);
            else
                ProbeWithoutFunction0(static_cast<uint8_t>(bus), found);
        }
    });
    return found;
}

}  // namespace quorel
