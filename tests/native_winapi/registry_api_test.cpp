// The registry functions over the in-process registry: Windows' order and
// lookup rules, buffer limits that are never overrun, handles, and the
// failures tests can inject.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "native_winapi/controls/fake_registry.h"
#include "registry_read.h"

namespace registry_test {
namespace {

constexpr WCHAR kNameSentinel = 0xBEEF;
constexpr BYTE kByteSentinel = 0xAB;
constexpr DWORD kUntouched = 0xDEADBEEF;
const HKEY kStaleHandle = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0xBADC0DE0));
constexpr DWORD kZetaBytes = 2 * sizeof(WCHAR);  // "z" and its NUL

// Subkeys listed against Windows' order: as stored, "_under" (0x5F) would
// sort between "Alpha" and "beta"; upper-cased it comes last.
const std::string kTree =
    "Windows Registry Editor Version 5.00\n\n"
    "[HKEY_LOCAL_MACHINE\\Enum\\beta]\n"
    "[HKEY_LOCAL_MACHINE\\Enum\\_under]\n"
    "[HKEY_LOCAL_MACHINE\\Enum\\Alpha\\Control]\n"
    "[HKEY_LOCAL_MACHINE\\Enum\\Alpha]\n"
    "\"Zeta\"=\"z\"\n\"alpha\"=\"a\"\n\"Mid\"=dword:00000001\n";

class RegistryApi : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(LoadText(kTree)); }
    void TearDown() override {
        EXPECT_EQ(fake_registry::OpenHandles(), 0);
        fake_registry::Reset();
    }
};

std::vector<std::wstring> Names(const std::vector<ValueRead>& values) {
    std::vector<std::wstring> names;
    for (const ValueRead& value : values)
        names.push_back(value.name);
    return names;
}

TEST_F(RegistryApi, EnumeratesInWindowsOrderAndFindsAnyLetterCase) {
    HKEY key = Open(HKEY_LOCAL_MACHINE, L"ENUM");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(SubkeyNames(key), (std::vector<std::wstring>{L"Alpha", L"beta", L"_under"}));
    HKEY alpha = Open(key, L"aLpHa");
    ASSERT_NE(alpha, nullptr);
    std::vector<ValueRead> values;
    EXPECT_TRUE(ReadValues(alpha, &values));
    EXPECT_EQ(Names(values), (std::vector<std::wstring>{L"Zeta", L"alpha", L"Mid"}));
    HKEY control = Open(HKEY_LOCAL_MACHINE, L"enum\\alpha\\CONTROL");
    EXPECT_NE(control, nullptr);
    EXPECT_EQ(fake_registry::OpenHandles(), 3);
    for (HKEY open : {key, alpha, control})
        EXPECT_EQ(RegCloseKey(open), ERROR_SUCCESS);
}

TEST_F(RegistryApi, OpensTheKeyItselfAndRefusesBadHandles) {
    HKEY result = kStaleHandle;
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Enum\\Missing", 0, KEY_READ, &result),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(result, nullptr);
    EXPECT_EQ(Open(HKEY_LOCAL_MACHINE, L"Enum\\\\Alpha"), nullptr);
    for (const WCHAR* itself : {static_cast<const WCHAR*>(nullptr), L""}) {
        HKEY root = nullptr;
        ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, itself, 0, KEY_READ, &root), ERROR_SUCCESS);
        EXPECT_NE(root, HKEY_LOCAL_MACHINE);  // a new handle, closed like any other
        EXPECT_EQ(SubkeyNames(root), std::vector<std::wstring>{L"Enum"});
        EXPECT_EQ(RegCloseKey(root), ERROR_SUCCESS);
        EXPECT_EQ(RegCloseKey(root), ERROR_INVALID_HANDLE);
    }
    WCHAR name[8];
    EXPECT_EQ(RegEnumKeyW(kStaleHandle, 0, name, 8), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegOpenKeyExW(kStaleHandle, L"Enum", 0, KEY_READ, &result), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(HKEY_DYN_DATA), ERROR_SUCCESS);  // roots are never closed
}

TEST_F(RegistryApi, EnumKeyCountsTheNulAndStopsPastTheEnd) {
    HKEY key = Open(HKEY_LOCAL_MACHINE, L"Enum");
    std::vector<WCHAR> name(8, kNameSentinel);
    EXPECT_EQ(RegEnumKeyW(key, 0, name.data(), 5), ERROR_MORE_DATA);  // "Alpha" needs 6
    EXPECT_EQ(name, std::vector<WCHAR>(8, kNameSentinel));
    EXPECT_EQ(RegEnumKeyW(key, 0, name.data(), 6), ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(name.data()), L"Alpha");
    EXPECT_EQ(name[6], kNameSentinel);
    EXPECT_EQ(RegEnumKeyW(key, 3, name.data(), 8), ERROR_NO_MORE_ITEMS);
    RegCloseKey(key);
}

struct EnumValueCall {
    LONG status;
    std::vector<WCHAR> name;
    DWORD name_chars, type, data_bytes;
    std::vector<BYTE> data;
};

// Value 0 ("Zeta"="z") read with the given capacities into buffers two
// elements larger, pre-filled with sentinels.
EnumValueCall ReadZeta(HKEY key, DWORD name_chars, DWORD data_bytes) {
    EnumValueCall call{0, std::vector<WCHAR>(name_chars + 2, kNameSentinel), name_chars, kUntouched,
                       data_bytes, std::vector<BYTE>(data_bytes + 2, kByteSentinel)};
    call.status = RegEnumValueW(key, 0, call.name.data(), &call.name_chars, nullptr, &call.type,
                                call.data.data(), &call.data_bytes);
    return call;
}

TEST_F(RegistryApi, EnumValueReportsWhatDoesNotFitAndWritesNothing) {
    HKEY key = Open(HKEY_LOCAL_MACHINE, L"Enum\\Alpha");
    for (EnumValueCall call : {ReadZeta(key, 4, kZetaBytes), ReadZeta(key, 5, kZetaBytes - 1)}) {
        EXPECT_EQ(call.status, ERROR_MORE_DATA);
        EXPECT_EQ(call.type, REG_SZ);
        EXPECT_EQ(call.data_bytes, kZetaBytes);  // the size it needs
        EXPECT_EQ(call.name, std::vector<WCHAR>(call.name.size(), kNameSentinel));
        EXPECT_EQ(call.data, std::vector<BYTE>(call.data.size(), kByteSentinel));
    }
    EnumValueCall exact = ReadZeta(key, 5, kZetaBytes);
    EXPECT_EQ(exact.status, ERROR_SUCCESS);
    EXPECT_EQ(exact.name_chars, 4u);  // without the NUL
    EXPECT_EQ(std::wstring(exact.name.data()), L"Zeta");
    EXPECT_EQ(exact.name[5], kNameSentinel);
    EXPECT_EQ(exact.data[kZetaBytes], kByteSentinel);

    WCHAR name[8];
    DWORD name_chars = 8, data_bytes = 0;
    EXPECT_EQ(RegEnumValueW(key, 2, name, &name_chars, nullptr, nullptr, nullptr, &data_bytes),
              ERROR_SUCCESS);
    EXPECT_EQ(data_bytes, 4u);  // the dword's size, asked without a buffer
    name_chars = 8;
    EXPECT_EQ(RegEnumValueW(key, 3, name, &name_chars, nullptr, nullptr, nullptr, nullptr),
              ERROR_NO_MORE_ITEMS);
    RegCloseKey(key);
}

TEST_F(RegistryApi, QueryInfoCountsAndTakesNullPointers) {
    HKEY key = Open(HKEY_LOCAL_MACHINE, L"Enum\\Alpha");
    WCHAR class_name[260];
    DWORD class_chars = 260, sub_keys = kUntouched, max_sub_key = kUntouched, values = kUntouched,
          max_value_name = kUntouched, max_value_bytes = kUntouched;
    EXPECT_EQ(RegQueryInfoKeyW(key, class_name, &class_chars, nullptr, &sub_keys, &max_sub_key,
                               nullptr, &values, &max_value_name, &max_value_bytes, nullptr,
                               nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(class_chars, 0u);
    EXPECT_EQ(class_name[0], L'\0');
    EXPECT_EQ(sub_keys, 1u);
    EXPECT_EQ(max_sub_key, 7u);     // "Control"
    EXPECT_EQ(values, 3u);
    EXPECT_EQ(max_value_name, 5u);  // "alpha"
    EXPECT_EQ(max_value_bytes, kZetaBytes);
    RegCloseKey(key);
}

TEST_F(RegistryApi, InjectedFailuresHitTheirKeyAndValueOnly) {
    fake_registry::FailOpen(L"hklm\\enum\\BETA");
    fake_registry::FailQuery(L"HKEY_LOCAL_MACHINE\\Enum");
    fake_registry::FailValue(L"HKEY_LOCAL_MACHINE\\Enum\\Alpha", L"ALPHA");
    HKEY key = Open(HKEY_LOCAL_MACHINE, L"Enum");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(Open(HKEY_LOCAL_MACHINE, L"Enum\\beta"), nullptr);
    EXPECT_EQ(Open(key, L"Beta"), nullptr);  // the same key by another road
    EXPECT_EQ(RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr),
              ERROR_ACCESS_DENIED);
    HKEY alpha = Open(key, L"Alpha");
    ASSERT_NE(alpha, nullptr);
    for (DWORD index : {0u, 1u, 2u}) {
        WCHAR name[8];
        DWORD name_chars = 8;
        EXPECT_EQ(RegEnumValueW(alpha, index, name, &name_chars, nullptr, nullptr, nullptr, nullptr),
                  index == 1 ? ERROR_ACCESS_DENIED : ERROR_SUCCESS);
    }
    RegCloseKey(alpha);
    RegCloseKey(key);
    fake_registry::Reset();  // clears the failures
    EXPECT_TRUE(LoadText(kTree));
    key = Open(HKEY_LOCAL_MACHINE, L"Enum\\beta");
    EXPECT_NE(key, nullptr);
    RegCloseKey(key);
}

TEST_F(RegistryApi, NthCallFailsAndACloseStillReleases) {
    EXPECT_EQ(fake_registry::Calls(), 0u);  // counted from the load
    fake_registry::FailNthCall(3);
    HKEY key = Open(HKEY_LOCAL_MACHINE, L"Enum");              // call 1
    ASSERT_NE(key, nullptr);
    WCHAR name[8];
    EXPECT_EQ(RegEnumKeyW(key, 0, name, 8), ERROR_SUCCESS);     // call 2
    EXPECT_EQ(RegCloseKey(key), ERROR_ACCESS_DENIED);           // call 3
    EXPECT_EQ(fake_registry::OpenHandles(), 0);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);          // call 4
    EXPECT_EQ(fake_registry::Calls(), 4u);

    fake_registry::FailNthCall(1);
    fake_registry::Clear();  // the count starts again, the failure stays
    EXPECT_EQ(Open(HKEY_LOCAL_MACHINE, L""), nullptr);
    EXPECT_EQ(fake_registry::Calls(), 1u);
}

}  // namespace
}  // namespace registry_test
