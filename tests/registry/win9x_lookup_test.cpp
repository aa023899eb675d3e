// The 9x-family walk: which dynamic entries are taken, and how they are
// paired with records by vendor and device ID in list order.
#include "native_winapi/controls/fake_registry.h"
#include "pci/os_family.h"
#include "registry_fixture.h"

using quorel::DeviceRecord;

namespace {

constexpr int32_t kWindows98 = quorel::os_family::kUnclassified;  // ClassifyOs leaves it
constexpr char kSystemGuid[] = "{4d36e97d-e325-11ce-bfc1-08002be10318}";

// A .reg string value: backslashes doubled.
std::string Quoted(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return quoted + "\"";
}

// A dynamic entry with its hardware key and, when `description` is given,
// the static key it names.
std::string Entry(const std::string& name, const std::string& hardware_key,
                  const std::string& description = "", const std::string& value_name = "HardWareKey") {
    std::string text = "[HKEY_DYN_DATA\\Config Manager\\Enum\\" + name + "]\n\"" + value_name +
                       "\"=" + Quoted(hardware_key) + "\n\"Problem\"=dword:00000000\n\n";
    if (!description.empty())
        text += "[HKEY_LOCAL_MACHINE\\Enum\\" + hardware_key + "]\n\"DeviceDesc\"=" +
                Quoted(description) + "\n\n";
    return text;
}

// The hardware key of a type-1 card at the given "BUS_bb&DEV_dd&FUNC_ff".
std::string CardKey(const std::string& location) {
    return "PCI\\VEN_6A5D&DEV_0101&SUBSYS_00016A5D&REV_01\\" + location;
}

using NineXLookup = RegistryTest;

TEST_F(NineXLookup, EqualIdsArePairedInOrderAndNeverAgainOnceMatched) {
    DeviceRecord& first = Add(0, 5, 0, 0x6A5D, 0x0101);
    DeviceRecord& second = Add(1, 0, 0, 0x6A5D, 0x0101);
    ASSERT_TRUE(UseRegistry(Entry("C0000001", CardKey("BUS_01&DEV_00&FUNC_00"), "card one") +
                            Entry("C0000002", CardKey("BUS_00&DEV_05&FUNC_00"), "card two")));
    Annotate(kWindows98);
    EXPECT_STREQ(first.config_manager_key, "C0000001");
    EXPECT_STREQ(first.hardware_key, "PCI\\VEN_6A5D&DEV_0101&SUBSYS_00016A5D&REV_01\\BUS_01&DEV_00&FUNC_00");
    EXPECT_STREQ(first.device_desc, "card one");
    EXPECT_STREQ(second.config_manager_key, "C0000002");
    EXPECT_EQ(second.registry_matched, 1);

    // A later annotation finds both records flagged: nothing is rewritten.
    ASSERT_TRUE(UseRegistry(Entry("C0000009", CardKey("BUS_01&DEV_00&FUNC_00"), "changed")));
    Annotate(kWindows98);
    EXPECT_STREQ(first.device_desc, "card one");
    EXPECT_STREQ(first.config_manager_key, "C0000001");
}

TEST_F(NineXLookup, EntryWhoseStaticKeyDoesNotOpenIsPairedAgain) {
    DeviceRecord& first = Add(0, 5, 0, 0x6A5D, 0x0101);
    DeviceRecord& second = Add(1, 0, 0, 0x6A5D, 0x0101);
    ASSERT_TRUE(UseRegistry(Entry("C0000001", CardKey("BUS_00&DEV_05&FUNC_00")) +  // no static key
                            Entry("C0000002", CardKey("BUS_01&DEV_00&FUNC_00"), "card")));
    Annotate(kWindows98);
    EXPECT_STREQ(first.config_manager_key, "C0000002");
    EXPECT_STREQ(first.device_desc, "card");
    EXPECT_EQ(second.registry_matched, 0);
    EXPECT_STREQ(second.config_manager_key, "");
}

TEST_F(NineXLookup, OnlyPciEntriesOfTheExactShapeAreTaken) {
    struct Case {
        const char* value_name;
        std::string key;
        bool taken;
    } cases[] = {
        {"HardWareKey", "PCI\\VEN_6A5D&DEV_0101&SUBSYS_00016A5D&REV_01", true},
        {"HardWareKey", "PCIxVENy6A5D&DEV_0101", true},       // 3 and 7 not examined
        {"HardWareKey", "PCI\\VEN_6A5D+XXXX0101", true},    // nor 12..16
        {"HARDWAREKEY", "PCI\\VEN_6A5D&DEV_0101", false},
        {"HardWareKey", "pci\\VEN_6A5D&DEV_0101", false},
        {"HardWareKey", "PCI\\VEN_6A5D&DEV_010", false},    // 20 characters
        {"HardWareKey", "ROOT\\PCI\\0000", false},
    };
    for (const Case& c : cases) {
        DeviceRecord& r = Add(0, 5, 0, 0x6A5D, 0x0101);
        ASSERT_TRUE(UseRegistry(Entry("C1", c.key, "", c.value_name)));
        Annotate(kWindows98);
        EXPECT_EQ(r.config_manager_key[0] != 0, c.taken) << c.value_name << " " << c.key;
        r.vendor_id = 0;  // out of the way of the next case
    }
}

TEST_F(NineXLookup, IdDigitsEndAtTheFirstNonHexCharacter) {
    DeviceRecord& r = Add(0, 5, 0, 0x0012, 0x494F);
    ASSERT_TRUE(UseRegistry(Entry("C1", "PCI\\VEN_12G4&DEV_494F&SUBSYS_00000000")));
    Annotate(kWindows98);
    EXPECT_STREQ(r.config_manager_key, "C1");
}

TEST_F(NineXLookup, StaticKeyWithClassGuidOnlyKeepsTheDescription) {
    DeviceRecord& r = Add(0, 5, 0, 0x6A5D, 0x0101);
    ASSERT_TRUE(UseRegistry(Entry("C1", CardKey("BUS_00&DEV_05&FUNC_00")) + "[HKEY_LOCAL_MACHINE\\Enum\\" +
                            CardKey("BUS_00&DEV_05&FUNC_00") + "]\n\"ClassGUID\"=\"" + kSystemGuid + "\"\n"));
    Annotate(kWindows98);
    EXPECT_EQ(r.registry_matched, 1);
    EXPECT_EQ(r.class_guid.Data1, 0x4D36E97Du);
    EXPECT_STREQ(r.device_desc, "");
    EXPECT_STREQ(r.class_guid_text, "") << "the 9x walk keeps no GUID text";
}

TEST_F(NineXLookup, WalkGoesOnPastAnEntryThatCannotBeRead) {
    DeviceRecord& r = Add(0, 5, 0, 0x6A5D, 0x0101);
    ASSERT_TRUE(UseRegistry(Entry("C1", CardKey("BUS_00&DEV_05&FUNC_00")) +
                            Entry("C2", CardKey("BUS_00&DEV_05&FUNC_00"), "card")));
    fake_registry::FailQuery(L"HKEY_DYN_DATA\\Config Manager\\Enum\\C1");
    Annotate(kWindows98);
    EXPECT_STREQ(r.config_manager_key, "C2");
    EXPECT_STREQ(r.device_desc, "card");
}

TEST_F(NineXLookup, NoDynamicTreeChangesNothing) {
    DeviceRecord& r = Add(0, 5, 0, 0x6A5D, 0x0101);
    ASSERT_TRUE(UseRegistry("[HKEY_LOCAL_MACHINE\\Enum\\" + CardKey("BUS_00&DEV_05&FUNC_00") +
                            "]\n\"DeviceDesc\"=\"card\"\n"));
    Annotate(quorel::os_family::kNineXMillennium);
    EXPECT_EQ(r.registry_matched, 0);
    EXPECT_STREQ(r.hardware_key, "");
}

}  // namespace
