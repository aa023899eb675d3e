// The NT-family lookup of one record (bus 2, device 3, function 1) through
// one instance key whose "LocationInformation", "DeviceDesc" and
// "ClassGUID" texts and whose name come from the input.
//
// Input: a flags byte, then the three texts and the instance name, cut at
// NUL bytes. Flags: bit 0 Windows 6 (else 5.x), bit 1 a UTF-8 locale,
// bit 2 texts stored without their terminating NUL, bit 3 no Control subkey.
#include <cstring>

#include "card_facts.h"
#include "fuzz_support.h"
#include "one_record.h"
#include "pci/os_family.h"
#include "registry/annotate.h"

namespace {

constexpr fuzz::PciAddress kAt{2, 3, 1};
// The record's configuration space holds no subsystem and revision 0.
constexpr wchar_t kIdKey[] =
    L"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\PCI\\VEN_6A5D&DEV_494F&SUBSYS_00000000&"
    L"REV_00";
constexpr char kStoredPrefix[] = "PCI\\VEN_6A5D&DEV_494F";

enum Flag : uint8_t { kWindows6 = 1, kUtf8 = 2, kUnterminated = 4, kNoControl = 8 };

bool LoadInstance(uint8_t flags, const std::vector<std::string>& fields) {
    std::wstring name = fuzz::WideText(fields[3]);
    const std::wstring instance = std::wstring(kIdKey) + L"\\" + (name.empty() ? L"0" : name);
    const bool terminated = !(flags & kUnterminated);
    fuzz::RegText reg;
    reg.Key(instance);
    reg.Text(L"LocationInformation", fuzz::WideText(fields[0]), terminated);
    reg.DescriptionAndClass(fields[1], fields[2], terminated);
    if (!(flags & kNoControl))
        reg.Key(instance + L"\\Control");
    return fuzz::LoadRegistry(reg);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto [flags, fields] = fuzz::ReadFlagged(data, size, 4);
    if (!LoadInstance(flags, fields))
        return 0;  // a name the .reg format cannot hold
    fuzz::OneRecordList list(test_card::kVendorId, test_card::kDeviceIdType2, kAt,
                             (flags & kWindows6) ? quorel::os_family::kWindows6 : quorel::os_family::kWindows5,
                             flags & kUtf8);
    quorel::FindDeviceInstance(list.record());
    list.CheckLookup();
    const char* key = list.record().hardware_key;
    if (list.record().registry_matched && key[0])
        FUZZ_CHECK(std::strncmp(key, kStoredPrefix, sizeof(kStoredPrefix) - 1) == 0);
    return 0;
}
