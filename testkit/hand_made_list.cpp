#include "hand_made_list.h"

#include <cstring>

#include "machine_text.h"
#include "pci/pci_regs.h"

namespace test_support {

HandMadeList::~HandMadeList() {
    if (!records_.empty()) {
        quorel::device_list = nullptr;
        quorel::device_list_tail = &quorel::device_list;
    }
}

quorel::DeviceRecord& HandMadeList::Add(uint8_t bus, uint8_t device, uint8_t function, uint16_t vendor,
                                        uint16_t device_id, uint16_t subsystem_vendor,
                                        uint16_t subsystem, uint8_t revision) {
    FunctionConfig config;
    function_init(&config, bus, device, function);
    function_ids(&config, vendor, device_id);
    function_byte(&config, quorel::pci::kClassRevision, revision);
    function_dword(&config, quorel::pci::kSubsystem, subsystem_vendor | static_cast<unsigned long>(subsystem) << 16);
    quorel::DeviceRecord& r = records_.emplace_back();
    r.bus = &buses_.emplace_back();
    r.bus->number = r.bus->secondary = bus;
    r.devfn = quorel::Devfn(device, function);
    r.vendor_id = vendor;
    r.device_id = device_id;
    std::memcpy(r.config_bytes, config.bytes, sizeof(r.config_bytes));
    r.config_space = r.config_bytes;
    *quorel::device_list_tail = &r;
    quorel::device_list_tail = &r.next;
    return r;
}

}  // namespace test_support
