// The default machine's registry files: embedded as they are in the
// repository, chosen by the reported Windows version, an instance for every
// function of the default machine; and the two environment variables.
#include <gtest/gtest.h>

#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "default_machine.h"
#include "machine_parser.h"
#include "native_winapi/default_registry.h"
#include "native_winapi/controls/fake_registry.h"
#include "native_winapi/controls/fake_windows.h"
#include "registry_read.h"
#include "sim_machine.h"
#include "windows_styles.h"

namespace registry_test {
namespace {

using quorel::sim::Address;
using quorel::sim::Function;

constexpr size_t kTextChars = 200;
const std::wstring kNtEnum = L"SYSTEM\\CurrentControlSet\\Enum\\PCI\\";
const std::wstring kDynamicEnum = L"Config Manager\\Enum";

using Style = test_support::WindowsStyle;

// The embedded copy of the style's file.
const char* Embedded(const Style& style) {
    using namespace native_winapi::registry;
    return !style.Nt() ? kDefault9xRegistryText : style.major == 5 ? kDefaultNt5RegistryText
                                                                   : kDefaultNt6RegistryText;
}

class DefaultRegistry : public ::testing::TestWithParam<Style> {
protected:
    void SetUp() override {
        test_support::SetEnv(fake_registry::kRegistryVariable, nullptr);
        test_support::SetEnv(fake_windows::kVersionVariable, nullptr);
        fake_windows::Reset();
    }
    void TearDown() override { fake_windows::Reset(); }
};

template <typename... Numbers>
std::wstring Formatted(const wchar_t* format, Numbers... numbers) {
    wchar_t text[kTextChars];
    std::swprintf(text, kTextChars, format, static_cast<unsigned>(numbers)...);
    return text;
}

uint16_t Word(const Function& function, size_t offset) {
    return static_cast<uint16_t>(function.config[offset] | function.config[offset + 1] << 8);
}

// VEN_xxxx&DEV_xxxx&SUBSYS_<subsystem ID><subsystem vendor ID>&REV_xx
std::wstring HardwareId(const Function& function, bool zero_subsystem) {
    return Formatted(L"VEN_%04X&DEV_%04X&SUBSYS_%04X%04X&REV_%02X", Word(function, 0),
                     Word(function, 2), zero_subsystem ? 0 : Word(function, 0x2E),
                     zero_subsystem ? 0 : Word(function, 0x2C), function.config[8]);
}

std::wstring LocationInformation(const Style& style, const Address& at) {
    if (style.major >= 6)
        return Formatted(L";(%u,%u,%u)", at.bus, at.device, at.function);
    return Formatted(L"PCI bus %u, device %u, function %u", at.bus, at.device, at.function);
}

bool EndsWith(const std::wstring& text, const std::wstring& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Instances of the function's hardware-ID key (either form) that have a
// Control subkey and its location.
int NtInstances(const Style& style, const Address& at, const Function& function) {
    std::vector<std::wstring> ids = {HardwareId(function, false)};
    if (HardwareId(function, true) != ids[0])
        ids.push_back(HardwareId(function, true));
    int found = 0;
    for (const std::wstring& id : ids) {
        std::wstring hardware_key = kNtEnum + id;
        HKEY key = Open(HKEY_LOCAL_MACHINE, hardware_key);
        for (const std::wstring& instance : key ? SubkeyNames(key) : std::vector<std::wstring>()) {
            std::wstring path = hardware_key + L"\\" + instance;
            HKEY control = Open(HKEY_LOCAL_MACHINE, path + L"\\Control");
            bool here = EndsWith(Text(HKEY_LOCAL_MACHINE, path, L"LocationInformation"), LocationInformation(style, at));
            if (control && here) {
                ++found;
                EXPECT_NE(Text(HKEY_LOCAL_MACHINE, path, L"DeviceDesc"), L"");
                EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, path, L"ClassGUID").size(), 38u);
            }
            if (control)
                RegCloseKey(control);
        }
        if (key)
            RegCloseKey(key);
    }
    return found;
}

int NineXInstances(const Address& at, const Function& function) {
    std::wstring hardware_key = L"PCI\\" + HardwareId(function, false) +
                                Formatted(L"\\BUS_%02X&DEV_%02X&FUNC_%02X", at.bus, at.device, at.function);
    HKEY dynamic = Open(HKEY_DYN_DATA, kDynamicEnum);
    int found = 0;
    for (const std::wstring& entry : dynamic ? SubkeyNames(dynamic) : std::vector<std::wstring>())
        found += Text(HKEY_DYN_DATA, kDynamicEnum + L"\\" + entry, L"HardWareKey") == hardware_key;
    if (dynamic)
        RegCloseKey(dynamic);
    EXPECT_NE(Text(HKEY_LOCAL_MACHINE, L"Enum\\" + hardware_key, L"DeviceDesc"), L"");
    EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, L"Enum\\" + hardware_key, L"ClassGUID").size(), 38u);
    return found;
}

TEST_P(DefaultRegistry, IsTheRepositoryFile) {
    EXPECT_EQ(std::string(Embedded(GetParam())),
              test_support::ReadFile(test_support::SourcePath(std::string("backends/sim/machines/") + GetParam().file)));
}

TEST_P(DefaultRegistry, HasOneInstanceForEveryFunctionOfTheDefaultMachine) {
    std::string error;
    std::unique_ptr<quorel::sim::Machine> machine =
        quorel::sim::ParseMachine(quorel::sim::kDefaultMachineText, "default.lspci", &error);
    ASSERT_TRUE(machine) << error;
    fake_windows::SetVersion(GetParam().major, GetParam().minor);  // picks the default lazily
    for (const Address& at : machine->Addresses()) {
        SCOPED_TRACE(quorel::sim::FormatAddress(at));
        const Function& function = *machine->Find(at);
        EXPECT_EQ(GetParam().Nt() ? NtInstances(GetParam(), at, function) : NineXInstances(at, function), 1);
    }
    EXPECT_EQ(fake_registry::OpenHandles(), 0);
}

INSTANTIATE_TEST_SUITE_P(Styles, DefaultRegistry, ::testing::ValuesIn(test_support::kWindowsStyles),
                         [](const ::testing::TestParamInfo<Style>& style) { return style.param.name; });

// The environment: QUOREL_SIM_REGISTRY names a file, QUOREL_SIM_WINVER the
// version; both are read again by a reset.
class SimEnvironment : public DefaultRegistry {
protected:
    void TearDown() override {
        test_support::SetEnv(fake_registry::kRegistryVariable, nullptr);
        test_support::SetEnv(fake_windows::kVersionVariable, nullptr);
        for (const std::string& path : files_)
            std::remove(path.c_str());
        DefaultRegistry::TearDown();
    }
    std::string RegistryFile(const std::string& text) {
        files_.push_back(test_support::TempPath("registry"));
        test_support::WriteFile(files_.back(), text);
        return files_.back();
    }
    std::vector<std::string> files_;
};

const std::wstring kCardKey = kNtEnum + L"VEN_6A5D&DEV_0101&SUBSYS_00016A5D&REV_01\\3&2411e6fe&0&28";

TEST_F(SimEnvironment, VersionChangeChoosesTheDefaultAgainButKeepsALoadedRegistry) {
    fake_windows::SetVersion(5, 1);
    EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, kCardKey, L"LocationInformation"), L"PCI bus 0, device 5, function 0");
    fake_windows::SetVersion(4, 90);
    EXPECT_NE(Open(HKEY_DYN_DATA, kDynamicEnum), nullptr);  // closed by the switch below
    fake_windows::SetVersion(6, 1);
    EXPECT_EQ(fake_registry::OpenHandles(), 0);
    EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, kCardKey, L"DeviceDesc"), L"@oem12.inf,%quorel1.desc%;Quorel type 1 card");
    EXPECT_TRUE(LoadText("REGEDIT4\n[HKLM\\Mine]\n"));
    fake_windows::SetVersion(5, 1);
    EXPECT_EQ(SubkeyNames(HKEY_LOCAL_MACHINE), std::vector<std::wstring>{L"Mine"});
}

TEST_F(SimEnvironment, RegistryFileReplacesTheDefaultAndARefusedOneIsReported) {
    std::string good = RegistryFile("REGEDIT4\n[HKEY_DYN_DATA\\Config Manager\\Enum\\C0]\n");
    test_support::SetEnv(fake_registry::kRegistryVariable, good.c_str());
    fake_registry::Reset();
    EXPECT_EQ(SubkeyNames(HKEY_LOCAL_MACHINE), std::vector<std::wstring>{});
    EXPECT_EQ(Text(HKEY_DYN_DATA, L"config manager\\enum\\c0", L"x"), L"");
    EXPECT_NE(Open(HKEY_DYN_DATA, L"config manager\\enum\\c0"), nullptr);

    std::string bad = RegistryFile("REGEDIT4\n[HKLM\\A]\n\"v\"=dword:\n");
    for (const std::string& path : {bad, bad + "-missing"}) {
        test_support::SetEnv(fake_registry::kRegistryVariable, path.c_str());
        fake_registry::Reset();
        ::testing::internal::CaptureStderr();
        EXPECT_TRUE(SubkeyNames(HKEY_LOCAL_MACHINE).empty());
        std::string message = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(message.rfind("quorel-sim: " + path + ":", 0), 0u) << message;
        EXPECT_TRUE(SubkeyNames(HKEY_DYN_DATA).empty());
    }
}

// The version GetVersionExW reports, as "major.minor", or that it failed.
std::string ReportedVersion() {
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExW(&info))
        return "GetVersionExW failed";
    return std::to_string(info.dwMajorVersion) + "." + std::to_string(info.dwMinorVersion);
}

TEST_F(SimEnvironment, VersionVariableSetsTheVersionAResetReturnsTo) {
    test_support::SetEnv(fake_windows::kVersionVariable, "5.2");
    fake_windows::Reset();
    fake_windows::SetVersion(4, 10);
    fake_windows::Reset();
    EXPECT_EQ(ReportedVersion(), "5.2");
    for (const char* bad : {"6", "5.1.2", "-5.1", "256.0"}) {
        test_support::SetEnv(fake_windows::kVersionVariable, bad);
        ::testing::internal::CaptureStderr();
        fake_windows::Reset();
        std::string message = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(message.rfind(std::string("quorel-sim: QUOREL_SIM_WINVER='") + bad + "'", 0), 0u) << message;
        EXPECT_EQ(ReportedVersion(), "6.1") << bad;
    }
}

}  // namespace
}  // namespace registry_test
