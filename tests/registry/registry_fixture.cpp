#include "registry_fixture.h"

#include "pci/config_access.h"
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
    OsFamily = saved_family_;
    fake_registry::Reset();
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
