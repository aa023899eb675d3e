// Device entries on the 9x family. The Configuration Manager keeps a
// dynamic tree below HKEY_DYN_DATA "Config Manager\Enum", one subkey per
// device node, whose "HardWareKey" names the device's static key below
// HKLM "Enum", e.g. PCI\VEN_6A5D&DEV_0101&SUBSYS_00016A5D&REV_01\BUS_01&
// DEV_00&FUNC_00. The entries carry no location the library compares, so
// they are paired with the device list by vendor and device ID, in order.
#include <cstring>
#include <cwchar>

#include "registry/annotate.h"
#include "registry/key_handle.h"
#include "registry/lookup_keys.h"
#include "registry/registry_text.h"

namespace quorel {

namespace {

using registry::KeyHandle;
using registry::Text;
namespace keys = registry::keys;


// "PCI\VEN_xxxx&DEV_xxxx": the letters are checked at fixed places, the
// separators between them are not; the IDs are the hex digits at 8..11
// and 17..20.
constexpr size_t kIdsChars = 21;
constexpr size_t kVendorDigits = 8;
constexpr size_t kDeviceDigits = 17;
constexpr size_t kIdDigits = 4;

}  // namespace

bool PciIds(const WCHAR* key, uint16_t* vendor, uint16_t* device) {
    if (std::wcslen(key) < kIdsChars || std::wcsncmp(key, L"PCI", 3) != 0 ||
        std::wcsncmp(key + 4, L"VEN", 3) != 0)
        return false;
    WCHAR digits[kIdDigits + 1] = {};
    std::wmemcpy(digits, key + kVendorDigits, kIdDigits);
    *vendor = static_cast<uint16_t>(std::wcstoul(digits, nullptr, 16));
    std::wmemcpy(digits, key + kDeviceDigits, kIdDigits);
    *device = static_cast<uint16_t>(std::wcstoul(digits, nullptr, 16));
    return true;
}

namespace {

// The first record of these IDs not matched yet, or null.
DeviceRecord* FirstUnmatched(uint16_t vendor, uint16_t device) {
    DeviceRecord* record = FindNextById(vendor, device, nullptr);
    while (record && record->registry_matched == 1)
        record = FindNextById(vendor, device, record);
    return record;
}

// A "HardWareKey" value of entry `entry`: pairs it with a record.
void TakeEntry(const Text& entry, const WCHAR* hardware_key) {
    uint16_t vendor, device;
    if (!PciIds(hardware_key, &vendor, &device))
        return;
    DeviceRecord* record = FirstUnmatched(vendor, device);
    if (!record)
        return;
    registry::StoreNarrow(record->config_manager_key, entry);
    registry::StoreNarrow(record->hardware_key, hardware_key);
    ReadEnumKeyValues(record);
}

void ReadEntry(const Text& entry) {
    if (!registry::PathFits(keys::kConfigManagerEntries, entry, L""))
        return;
    Text path;
    wsprintfW(path, L"%s\\%s", keys::kConfigManagerEntries, entry);
    KeyHandle key;
    if (!key.Open(HKEY_DYN_DATA, path, KEY_ALL_ACCESS))
        return;
    // Every value is looked at, also after a taken one.
    key.ForEachValue([&](const WCHAR* name, const WCHAR* text) {
        if (std::wcscmp(name, keys::kHardwareKey) == 0)
            TakeEntry(entry, text);
    });
}

}  // namespace

void MatchConfigManagerEntries() {
    KeyHandle root;
    if (!root.Open(HKEY_DYN_DATA, keys::kConfigManagerEntries, KEY_ALL_ACCESS))
        return;
    Text entry;
    for (DWORD index = 0; root.Subkey(index, entry); ++index)
        ReadEntry(entry);
}

void ReadEnumKeyValues(DeviceRecord* record) {
    constexpr size_t kEnumPrefixChars = sizeof(keys::kStaticKeyPrefix) / sizeof(WCHAR) - 1;
    if (!record || record->hardware_key[0] == 0 ||
        std::strlen(record->hardware_key) + kEnumPrefixChars >= registry::kTextChars)
        return;  // no key to name, or a cut one that would name another key
    Text path;
    wsprintfW(path, L"%s%hs", keys::kStaticKeyPrefix, record->hardware_key);
    KeyHandle key;
    if (!key.Open(HKEY_LOCAL_MACHINE, path, KEY_READ))
        return;
    record->registry_matched = 1;
    key.ForEachValue([&](const WCHAR* name, const WCHAR* text) {
        if (std::wcscmp(name, keys::kDeviceDesc) == 0)
            registry::StoreNarrow(record->device_desc, text);
        else if (std::wcscmp(name, keys::kClassGuid) == 0)
            ParseClassGuid(*record, text);
    });
}

}  // namespace quorel
