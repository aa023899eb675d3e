#include "one_record.h"

#include <cstring>

#include "fuzz_support.h"
#include "pci/os_family.h"
#include "native_winapi/controls/fake_registry.h"

namespace fuzz {

namespace {

template <size_t N>
bool Terminated(const char (&field)[N]) {
    return std::memchr(field, 0, N) != nullptr;
}

}  // namespace

OneRecordList::OneRecordList(uint16_t vendor, uint16_t device, const PciAddress& at,
                             int32_t os_family, bool utf8_locale)
    : record_(list_.Add(at.bus, at.device, at.function, vendor, device)) {
    quorel::OsFamily = os_family;
    UseLocale(utf8_locale);
}

void OneRecordList::CheckLookup() const {
    FUZZ_CHECK(fake_registry::OpenHandles() == 0);
    FUZZ_CHECK(Terminated(record_.device_desc) && Terminated(record_.hardware_key) &&
               Terminated(record_.config_manager_key) && Terminated(record_.class_guid_text));
    fake_registry::Clear();
}

}  // namespace fuzz
