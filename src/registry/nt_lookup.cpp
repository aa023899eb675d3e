// Device instances on the NT family. Windows keeps one key per hardware ID
// below HKLM\SYSTEM\CurrentControlSet\Enum\PCI and under it one subkey per
// instance of that ID. Several cards of one kind share a hardware-ID key,
// so the instance is told by its "LocationInformation" text.
#include <cwchar>

#include "pci/config_access.h"
#include "pci/devfn.h"
#include "pci/os_family.h"
#include "pci/pci_regs.h"
#include "registry/annotate.h"
#include "registry/key_handle.h"
#include "registry/lookup_keys.h"
#include "registry/registry_text.h"

namespace quorel {

namespace {

using registry::KeyHandle;
using registry::Text;

constexpr WCHAR kIdFormat[] =
    L"SYSTEM\\CurrentControlSet\\Enum\\PCI\\VEN_%.4X&DEV_%.4X&SUBSYS_%.4X%.4X&REV_%.2X";
constexpr WCHAR kQuirkIdFormat[] =
    L"SYSTEM\\CurrentControlSet\\Enum\\PCI\\VEN_%.4X&DEV_%.4X&SUBSYS_12345678&REV_%.2X";
constexpr WCHAR kNoSubsystemIdFormat[] =
    L"SYSTEM\\CurrentControlSet\\Enum\\PCI\\VEN_%.4X&DEV_%.4X&SUBSYS_00000000&REV_%.2X";
// "SYSTEM\CurrentControlSet\Enum\": what the stored device key leaves out.
constexpr size_t kEnumRootChars = 30;

// Windows 6 registers this function under a fixed subsystem.
constexpr uint16_t kQuirkVendor = 0x104C;
constexpr uint16_t kQuirkDevice = 0x8231;

// "LocationInformation": "PCI bus 2, device 0, function 0" on Windows 5.x;
// "@System32\drivers\pci.sys,#65536;PCI bus %1, device %2, function %3;
// (2,0,0)" from Windows 6 on, the numbers being the tokens in parentheses.
struct LocationStyle {
    const WCHAR* separators;
    unsigned tokens[3];  // bus, device, function; counted from 1, ascending
};
constexpr LocationStyle kLocation5{L" ,\t\n\xFF0C", {3, 5, 7}};
constexpr LocationStyle kLocation6{L" ,()\xFF0C", {9, 10, 11}};

// "DeviceDesc" from Windows 6 on: "@oem12.inf,%quorel.desc%;text", the
// text being the third token.
constexpr WCHAR kDescSeparators6[] = L",;";
constexpr unsigned kDescToken6 = 3;

// What one instance key says.
struct Instance {
    Text path{};  // below the Enum root
    Text description{};
    Text class_guid{};
    bool located = false;
    uint8_t bus = 0;
    uint16_t device = 0;
    uint16_t function = 0;
};

// Reads "LocationInformation"; the location counts as read when the text
// has all three tokens.
void ReadLocation(WCHAR* text, Instance& instance) {
    const LocationStyle& style = IsWindows6(OsFamily) ? kLocation6 : kLocation5;
    int numbers[3] = {};
    unsigned found = 0, n = 1;
    for (WCHAR* token = wcstok(text, style.separators); token;
         token = wcstok(nullptr, style.separators), ++n)
        if (found < 3 && n == style.tokens[found])
            numbers[found++] = _wtoi(token);
    if (found < 3)
        return;
    instance.located = true;
    instance.bus = static_cast<uint8_t>(numbers[0]);
    instance.device = static_cast<uint16_t>(numbers[1]);
    instance.function = static_cast<uint16_t>(numbers[2]);
}

void ReadDescription(WCHAR* text, Instance& instance) {
    if (!IsWindows6(OsFamily)) {
        registry::CopyText(instance.description, text);
        return;
    }
    WCHAR* token = wcstok(text, kDescSeparators6);
    for (unsigned n = 1; token && n < kDescToken6; ++n)
        token = wcstok(nullptr, kDescSeparators6);
    if (token)
        registry::CopyText(instance.description, token);
}

void ReadInstanceValue(const WCHAR* name, WCHAR* text, Instance& instance) {
    if (std::wcscmp(name, registry::keys::kLocationInformation) == 0)
        ReadLocation(text, instance);
    else if (std::wcscmp(name, registry::keys::kDeviceDesc) == 0)
        ReadDescription(text, instance);
    else if (std::wcscmp(name, registry::keys::kClassGuid) == 0)
        registry::CopyText(instance.class_guid, text);
}

// Reads the instance `name` below the hardware-ID key at `id_path`; false
// when it does not count: no Control subkey, or its key does not open.
bool ReadInstance(const Text& id_path, const Text& name, Instance& instance) {
    if (!registry::PathFits(id_path, name, registry::keys::kInstanceSubkeyPath))
        return false;  // Windows key names are shorter; skip rather than cut
    Text key_path, control_path;
    wsprintfW(key_path, L"%s\\%s", id_path, name);
    wsprintfW(control_path, L"%s\\%s%s", id_path, name, registry::keys::kInstanceSubkeyPath);
    if (!KeyHandle::Exists(HKEY_LOCAL_MACHINE, control_path, KEY_READ))
        return false;
    KeyHandle key;
    if (!key.Open(HKEY_LOCAL_MACHINE, key_path, KEY_READ))
        return false;
    wsprintfW(instance.path, L"%s", key_path + kEnumRootChars);
    key.ForEachValue([&](const WCHAR* value, WCHAR* text) { ReadInstanceValue(value, text, instance); });
    return true;
}

bool Matches(const DeviceRecord& record, const Instance& instance) {
    return instance.located && instance.bus == record.bus->number &&
           Devfn(instance.device, instance.function) == record.devfn;
}

void Store(DeviceRecord& record, const Instance& instance) {
    registry::StoreNarrow(record.hardware_key, instance.path);
    registry::StoreNarrow(record.device_desc, instance.description);
    ParseClassGuid(record, instance.class_guid);
    registry::StoreNarrow(record.class_guid_text, instance.class_guid);
    record.registry_matched = 1;
}

// Opens the record's hardware-ID key: the first of HardwareIdKeyPaths'
// that opens. `path` receives the path that opened.
bool OpenHardwareIdKey(const DeviceRecord& record, KeyHandle& key, Text& path) {
    Text with_subsystem, without_subsystem;
    HardwareIdKeyPaths(record, with_subsystem, without_subsystem);
    const WCHAR* const candidates[] = {with_subsystem, without_subsystem};
    for (const WCHAR* candidate : candidates)
        if (key.Open(HKEY_LOCAL_MACHINE, candidate, KEY_READ)) {
            registry::CopyText(path, candidate);
            return true;
        }
    return false;
}

}  // namespace

void HardwareIdKeyPaths(const DeviceRecord& record, registry::Text& with_subsystem,
                        registry::Text& without_subsystem) {
    const uint8_t* config = record.config_space;
    const unsigned revision = config[pci::kClassRevision];
    const unsigned subsystem_vendor = config[pci::kSubsystem] | config[pci::kSubsystem + 1] << 8;
    const unsigned subsystem = config[pci::kSubsystem + 2] | config[pci::kSubsystem + 3] << 8;
    const unsigned vendor = record.vendor_id, device = record.device_id;
    if (IsWindows6(OsFamily) && vendor == kQuirkVendor && device == kQuirkDevice)
        wsprintfW(with_subsystem, kQuirkIdFormat, vendor, device, revision);
    else
        wsprintfW(with_subsystem, kIdFormat, vendor, device, subsystem, subsystem_vendor, revision);
    wsprintfW(without_subsystem, kNoSubsystemIdFormat, vendor, device, revision);
}

void FindDeviceInstance(DeviceRecord& record) {
    KeyHandle id_key;
    Text id_path;
    if (!OpenHardwareIdKey(record, id_key, id_path)) {
        record.hardware_key[0] = 0;
        record.device_desc[0] = 0;
        record.registry_matched = 0;
        return;
    }
    // Every instance is looked at: a later match overwrites an earlier one.
    Text name;
    for (DWORD index = 0; id_key.Subkey(index, name); ++index) {
        Instance instance;
        if (ReadInstance(id_path, name, instance) && Matches(record, instance))
            Store(record, instance);
    }
}

}  // namespace quorel
