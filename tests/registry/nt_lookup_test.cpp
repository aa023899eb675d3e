// The NT-family lookup: which hardware-ID key and instance a record takes,
// and what it copies from it.
#include <cstring>

#include "native_winapi/controls/fake_registry.h"
#include "pci/os_family.h"
#include "registry_fixture.h"

using quorel::DeviceRecord;

namespace {

using quorel::os_family::kWindows5;
using quorel::os_family::kWindows6;
constexpr char kSystemGuid[] = "{4d36e97d-e325-11ce-bfc1-08002be10318}";
const std::string kCardId = "VEN_6A5D&DEV_0101&SUBSYS_00016A5D&REV_01";
const std::wstring kCardKey =
    L"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\PCI\\VEN_6A5D&DEV_0101&SUBSYS_00016A5D&REV_01";

std::string Location5(int bus, int device, int function) {
    return "PCI bus " + std::to_string(bus) + ", device " + std::to_string(device) +
           ", function " + std::to_string(function);
}

using NtLookup = RegistryTest;

TEST_F(NtLookup, SubsystemDigitsAreSubsystemIdThenVendorWithFallback) {
    DeviceRecord& a = Add(0, 2, 0, 0x8086, 0x1229, 0x1234, 0x5678, 0x08);
    DeviceRecord& b = Add(0, 3, 0, 0x8086, 0x1229, 0x1111, 0x2222, 0x08);
    ASSERT_TRUE(UseRegistry(NtInstance("VEN_8086&DEV_1229&SUBSYS_56781234&REV_08", "1", Location5(0, 2, 0), "A") +
                            NtInstance("VEN_8086&DEV_1229&SUBSYS_00000000&REV_08", "1", Location5(0, 3, 0), "B")));
    Annotate(kWindows5);
    EXPECT_STREQ(a.device_desc, "A");
    EXPECT_STREQ(a.hardware_key, "PCI\\VEN_8086&DEV_1229&SUBSYS_56781234&REV_08\\1");
    EXPECT_STREQ(b.device_desc, "B");
    EXPECT_EQ(b.registry_matched, 1);
}

TEST_F(NtLookup, QuirkFunctionUsesFixedSubsystemOnWindows6Only) {
    DeviceRecord& r = Add(0, 4, 0, 0x104C, 0x8231, 0x1234, 0x5678, 0x01);
    ASSERT_TRUE(UseRegistry(NtInstance("VEN_104C&DEV_8231&SUBSYS_56781234&REV_01", "1", Location5(0, 4, 0), "real") +
                            NtInstance("VEN_104C&DEV_8231&SUBSYS_12345678&REV_01", "1",
                                       "x,x;PCI bus 0, device 4, function 0;(0,4,0)", "x,x;fixed")));
    Annotate(kWindows6);
    EXPECT_STREQ(r.device_desc, "fixed");
    Annotate(kWindows5);
    EXPECT_STREQ(r.device_desc, "real");
}

TEST_F(NtLookup, InstanceIsToldByLocationAndLaterMatchesOverwrite) {
    DeviceRecord& on2 = Add(2, 0, 0, 0x6A5D, 0x0101, 0x6A5D, 0x0001);
    DeviceRecord& on3 = Add(3, 0, 0, 0x6A5D, 0x0101, 0x6A5D, 0x0001);
    ASSERT_TRUE(UseRegistry(NtInstance(kCardId, "a", Location5(2, 0, 0), "first", kSystemGuid) +
                            NtInstance(kCardId, "b", Location5(3, 0, 0), "second") +
                            NtInstance(kCardId, "c", Location5(3, 0, 0), "third") +
                            NtInstance(kCardId, "d", Location5(2, 0, 0), "no control", "", false)));
    Annotate(kWindows5);
    EXPECT_STREQ(on2.device_desc, "first");
    EXPECT_STREQ(on2.class_guid_text, kSystemGuid);
    EXPECT_EQ(on2.class_guid.Data1, 0x4D36E97Du);
    EXPECT_STREQ(on3.device_desc, "third");
    EXPECT_STREQ(on3.hardware_key, ("PCI\\" + kCardId + "\\c").c_str());
}

TEST_F(NtLookup, LocationNumbersCompareByTheirLowBits) {
    DeviceRecord& r = Add(1, 5, 2, 0x6A5D, 0x0101, 0x6A5D, 0x0001);
    ASSERT_TRUE(UseRegistry(NtInstance(kCardId, "a", Location5(257, 37, 10), "wrapped")));
    Annotate(kWindows5);
    EXPECT_STREQ(r.device_desc, "wrapped");
}

TEST_F(NtLookup, Windows6TextsAreSplitIntoTokens) {
    struct Case {
        const char* description;
        const char* expected;
    } cases[] = {
        {"@oem12.inf,%quorel.desc%;Quorel type 1 card", "Quorel type 1 card"},
        {"@oem12.inf,%quorel.desc%;Quorel, type 1;card", "Quorel"},
        {"@oem12.inf;only two", ""},
    };
    DeviceRecord& r = Add(1, 0, 0, 0x6A5D, 0x0101, 0x6A5D, 0x0001);
    for (const Case& c : cases) {
        ASSERT_TRUE(UseRegistry(NtInstance(kCardId, "a",
                                           "@System32\\\\drivers\\\\pci.sys,#65536;PCI bus %1, device %2, "
                                           "function %3;(1,0,0)",
                                           c.description)));
        Annotate(kWindows6);
        EXPECT_EQ(r.registry_matched, 1);
        EXPECT_STREQ(r.device_desc, c.expected) << c.description;
    }
    // The same two-token text is taken whole on Windows 5.x.
    ASSERT_TRUE(UseRegistry(NtInstance(kCardId, "a", Location5(1, 0, 0), "@oem12.inf;only two")));
    Annotate(kWindows5);
    EXPECT_STREQ(r.device_desc, "@oem12.inf;only two");
}

TEST_F(NtLookup, ValueNamesAreCaseSensitive) {
    DeviceRecord& r = Add(1, 0, 0, 0x6A5D, 0x0101, 0x6A5D, 0x0001);
    ASSERT_TRUE(UseRegistry(NtInstance(kCardId, "a", "") +
                            "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\PCI\\" + kCardId + "\\a]\n"
                            "\"locationinformation\"=\"" + Location5(1, 0, 0) + "\"\n"));
    Annotate(kWindows5);
    EXPECT_EQ(r.registry_matched, 0);
}

TEST_F(NtLookup, NoHardwareIdKeyEmptiesTheTextsButKeepsTheGuid) {
    DeviceRecord& r = Add(1, 0, 0, 0x6A5D, 0x0101, 0x6A5D, 0x0001);
    ASSERT_TRUE(UseRegistry(NtInstance(kCardId, "a", Location5(1, 0, 0), "card", kSystemGuid)));
    Annotate(kWindows5);
    ASSERT_EQ(r.registry_matched, 1);
    ASSERT_TRUE(UseRegistry(""));
    Annotate(kWindows5);
    EXPECT_EQ(r.registry_matched, 0);
    EXPECT_STREQ(r.device_desc, "");
    EXPECT_STREQ(r.hardware_key, "");
    EXPECT_STREQ(r.class_guid_text, kSystemGuid);
}

// A bad instance (unreadable key info, an unreadable or oversized value)
// costs only itself: the instances after it are still looked at.
TEST_F(NtLookup, WalkGoesOnPastAnInstanceThatCannotBeRead) {
    DeviceRecord& r = Add(1, 0, 0, 0x6A5D, 0x0101, 0x6A5D, 0x0001);
    const std::string b_key =
        "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\PCI\\" + kCardId + "\\b]\n";
    // b's last value is too large to read; c's key information cannot be read.
    ASSERT_TRUE(UseRegistry(NtInstance(kCardId, "a", Location5(1, 0, 0), "from a") +
                            NtInstance(kCardId, "b", Location5(1, 0, 0), "from b") + b_key +
                            "\"HardwareID\"=\"" + std::string(2000, 'x') + "\"\n\n" +
                            NtInstance(kCardId, "c", Location5(1, 0, 0), "from c") +
                            NtInstance(kCardId, "d", Location5(1, 0, 0), "from d")));
    fake_registry::FailQuery(kCardKey + L"\\c");
    Annotate(kWindows5);
    EXPECT_STREQ(r.device_desc, "from d");

    fake_registry::FailValue(kCardKey + L"\\d", L"DeviceDesc");
    Annotate(kWindows5);
    EXPECT_STREQ(r.device_desc, "") << "d matches, without its description";
}

// Data that fills the read buffer without a terminator, and texts longer
// than the record's fields: cut, always terminated, nothing written past.
TEST_F(NtLookup, LongAndUnterminatedTextsAreCutToTheirFields) {
    DeviceRecord& r = Add(1, 0, 0, 0x6A5D, 0x0101, 0x6A5D, 0x0001);
    std::string unterminated = "hex(1):";
    for (int i = 0; i < 260; ++i)
        unterminated += i ? ",64,00" : "64,00";  // 260 times 'd' in UTF-16, no NUL
    const std::string key = "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\PCI\\" + kCardId + "\\a]\n";
    ASSERT_TRUE(UseRegistry(NtInstance(kCardId, "a", Location5(1, 0, 0), "", std::string(259, 'g')) + key +
                            "\"DeviceDesc\"=" + unterminated + "\n"));
    Annotate(kWindows5);
    ASSERT_EQ(r.registry_matched, 1);
    EXPECT_EQ(std::string(r.device_desc), std::string(sizeof(r.device_desc) - 1, 'd'));
    EXPECT_EQ(std::string(r.class_guid_text), std::string(sizeof(r.class_guid_text) - 1, 'g'));
    EXPECT_EQ(r.config_manager_key[0], 0) << "the field after class_guid_text is untouched";
}

// The lookups read a text of up to 259 characters and its NUL; a longer one
// is skipped as if the value were absent.
TEST_F(NtLookup, TextsOfUpTo259CharactersAreReadLongerOnesSkipped) {
    DeviceRecord& r = Add(1, 0, 0, 0x6A5D, 0x0101, 0x6A5D, 0x0001);
    for (size_t length : {259, 260}) {
        ASSERT_TRUE(UseRegistry(NtInstance(kCardId, "a", Location5(1, 0, 0), std::string(length, 'a'))));
        Annotate(kWindows5);
        EXPECT_EQ(r.registry_matched, 1);
        EXPECT_EQ(std::string(r.device_desc), length == 259 ? std::string(259, 'a') : "") << length;
    }
}

TEST_F(NtLookup, NineXFamilyOpensNoNtKey) {
    DeviceRecord& r = Add(1, 0, 0, 0x6A5D, 0x0101, 0x6A5D, 0x0001);
    ASSERT_TRUE(UseRegistry(NtInstance(kCardId, "a", Location5(1, 0, 0), "card")));
    Annotate(quorel::os_family::kNineXMillennium);
    EXPECT_EQ(r.registry_matched, 0);
}

}  // namespace
