#include "registry_fixture.h"

#include "pci/config_access.h"
#include "pci/pci_regs.h"
#include "native_winapi/controls/fake_registry.h"
#include "registry/annotate.h"

using namespace quorel;

void RegistryTest::SetUp() {
    saved_family_ = OsFamily;
    ASSERT_EQ(device_list, nullptr) << "another test left a device list behind";
    fake_registry::Clear();
}

void RegistryTest::TearDown() {
    EXPECT_EQ(fake_registry::OpenHandles(), 0) << "a registry key was left open";
    device_list = nullptr;
    device_list_tail = &device_list;
    OsFamily = saved_family_;
    fake_registry::Reset();
}

DeviceRecord& RegistryTest::Add(uint8_t bus, uint8_t device, uint8_t function, uint16_t vendor,
                                uint16_t device_id, uint16_t subsystem_vendor, uint16_t subsystem,
                                uint8_t revision) {
    BusNode* node = nullptr;
    for (BusNode& b : buses_)
        if (b.number == bus)
            node = &b;
    if (!node) {
        node = &buses_.emplace_back();
        node->number = bus;
    }
    std::array<uint8_t, 256>& config = configs_.emplace_back();
    config[pci::kClassRevision] = revision;
    config[pci::kSubsystem] = subsystem_vendor & 0xFF;
    config[pci::kSubsystem + 1] = subsystem_vendor >> 8;
    config[pci::kSubsystem + 2] = subsystem & 0xFF;
    config[pci::kSubsystem + 3] = subsystem >> 8;
    DeviceRecord& r = records_.emplace_back();
    r.bus = node;
    r.devfn = device << 3 | function;
    r.vendor_id = vendor;
    r.device_id = device_id;
    r.config_space = config.data();
    *device_list_tail = &r;
    device_list_tail = &r.next;
    return r;
}

::testing::AssertionResult RegistryTest::UseRegistry(const std::string& sections) {
    std::string error;
    if (fake_registry::Load("Windows Registry Editor Version 5.00\n\n" + sections, "fixture.reg", &error))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << error;
}

void RegistryTest::Annotate(int32_t os_family) {
    OsFamily = os_family;
    AnnotateFromRegistry();
}

std::string NtInstance(const std::string& id, const std::string& instance,
                       const std::string& location, const std::string& description,
                       const std::string& class_guid, bool control) {
    const std::string key =
        "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\PCI\\" + id + "\\" + instance;
    std::string text = key + "]\n";
    if (!location.empty())
        text += "\"LocationInformation\"=\"" + location + "\"\n";
    if (!description.empty())
        text += "\"DeviceDesc\"=\"" + description + "\"\n";
    if (!class_guid.empty())
        text += "\"ClassGUID\"=\"" + class_guid + "\"\n";
    if (control)
        text += "\n" + key + "\\Control]\n";
    return text + "\n";
}
