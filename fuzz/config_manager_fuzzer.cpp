// The 9x-family walk over one entry of the dynamic device tree, paired with
// a one-record device list (6a5d:494f): the entry's name and "HardWareKey"
// text come from the input, and so do the "DeviceDesc" and "ClassGUID" of
// the static key the hardware key names.
//
// Input: a flags byte, then the hardware key, the entry's name, the
// description and the class GUID, cut at NUL bytes. Flags: bit 1 a UTF-8
// locale, bit 2 texts stored without their terminating NUL, bit 3 no
// static key.
#include <cstring>

#include "card_facts.h"
#include "fuzz_support.h"
#include "one_record.h"
#include "pci/os_family.h"
#include "registry/annotate.h"

namespace {

constexpr fuzz::PciAddress kAt{1, 0, 0};
constexpr wchar_t kDynamicRoot[] = L"HKEY_DYN_DATA\\Config Manager\\Enum\\";
constexpr wchar_t kStaticRoot[] = L"HKEY_LOCAL_MACHINE\\Enum\\";
constexpr int32_t kWindows98 = quorel::os_family::kUnclassified;  // ClassifyOs leaves it

enum Flag : uint8_t { kUtf8 = 2, kUnterminated = 4, kNoStaticKey = 8 };

bool LoadEntry(uint8_t flags, const std::vector<std::string>& fields, bool static_key) {
    const bool terminated = !(flags & kUnterminated);
    const std::wstring hardware_key = fuzz::WideText(fields[0]);
    const std::wstring entry = fuzz::WideText(fields[1]);
    fuzz::RegText reg;
    reg.Key(kDynamicRoot + (entry.empty() ? L"C0" : entry));
    reg.Text(L"HardWareKey", hardware_key, terminated);
    if (static_key) {
        reg.Key(kStaticRoot + hardware_key.substr(0, hardware_key.find(L'\0')));
        reg.DescriptionAndClass(fields[2], fields[3], terminated);
    }
    return fuzz::LoadRegistry(reg);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto [flags, fields] = fuzz::ReadFlagged(data, size, 4);
    // A hardware key that makes no key path still gets its entry walked.
    if (!LoadEntry(flags, fields, !(flags & kNoStaticKey)) && !LoadEntry(flags, fields, false))
        return 0;
    fuzz::OneRecordList list(test_card::kVendorId, test_card::kDeviceIdType2, kAt, kWindows98, flags & kUtf8);
    quorel::MatchConfigManagerEntries();
    list.CheckLookup();
    const quorel::DeviceRecord& record = list.record();
    if (record.registry_matched)
        FUZZ_CHECK(record.hardware_key[0] != 0);
    if (record.hardware_key[0])
        FUZZ_CHECK(std::strncmp(record.hardware_key, "PCI", 3) == 0);
    return 0;
}
