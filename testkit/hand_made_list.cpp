#include "hand_made_list.h"

#include <cstring>

#include "machine_text.h"
#include "pci/pci_regs.h"

namespace test_support {

using quorel::BusNode;
using quorel::DeviceRecord;

HandMadeList::~HandMadeList() {
    if (records_.empty())
        return;
    quorel::device_list = nullptr;
    quorel::device_list_tail = &quorel::device_list;
}

BusNode& HandMadeList::Bus(uint8_t number) {
    for (BusNode& bus : buses_)
        if (bus.number == number)
            return bus;
    BusNode& bus = buses_.emplace_back();
    bus.number = bus.secondary = number;
    return bus;
}

DeviceRecord& HandMadeList::Add(uint8_t bus, uint8_t device, uint8_t function, uint16_t vendor,
                                uint16_t device_id, uint16_t subsystem_vendor, uint16_t subsystem,
                                uint8_t revision) {
    FunctionConfig config;
    function_init(&config, bus, device, function);
    function_ids(&config, vendor, device_id);
    function_byte(&config, quorel::pci::kClassRevision, revision);
    function_dword(&config, quorel::pci::kSubsystem,
                   subsystem_vendor | static_cast<unsigned long>(subsystem) << 16);
    DeviceRecord& r = records_.emplace_back();
    r.bus = &Bus(bus);
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
