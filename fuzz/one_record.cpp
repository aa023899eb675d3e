#include "one_record.h"

#include "fuzz_support.h"
#include "pci/config_access.h"
#include "pci/pci_regs.h"
#include "native_winapi/controls/fake_registry.h"

namespace fuzz {

namespace {

template <size_t N>
bool Terminated(const char (&field)[N]) {
    return std::memchr(field, 0, N) != nullptr;
}

}  // namespace

OneRecordList::OneRecordList(uint16_t vendor, uint16_t device, const PciAddress& at,
                             int32_t os_family, bool utf8_locale) {
    quorel::OsFamily = os_family;
    UseLocale(utf8_locale);
    bus_.number = bus_.secondary = at.bus;
    bus_.devices = &record_;
    record_.bus = &bus_;
    record_.devfn = static_cast<uint32_t>(at.device) << 3 | at.function;
    record_.vendor_id = vendor;
    record_.device_id = device;
    config_[quorel::pci::kVendorId] = static_cast<uint8_t>(vendor);
    config_[quorel::pci::kVendorId + 1] = static_cast<uint8_t>(vendor >> 8);
    config_[quorel::pci::kVendorId + 2] = static_cast<uint8_t>(device);
    config_[quorel::pci::kVendorId + 3] = static_cast<uint8_t>(device >> 8);
    record_.config_space = config_;
    std::memcpy(record_.config_bytes, config_, sizeof(config_));
    quorel::device_list = &record_;
    quorel::device_list_tail = &record_.next;
}

OneRecordList::~OneRecordList() {
    quorel::device_list = nullptr;
    quorel::device_list_tail = &quorel::device_list;
}

void OneRecordList::CheckLookup() const {
    FUZZ_CHECK(fake_registry::OpenHandles() == 0);
    FUZZ_CHECK(Terminated(record_.device_desc) && Terminated(record_.hardware_key) &&
               Terminated(record_.config_manager_key) && Terminated(record_.class_guid_text));
    fake_registry::Clear();
}

}  // namespace fuzz
