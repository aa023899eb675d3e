#include "registry_read.h"

#include <gtest/gtest.h>

#include <cstring>

#include "native_winapi/controls/fake_registry.h"

namespace registry_test {

namespace {

constexpr DWORD kNameChars = 260;

}  // namespace

::testing::AssertionResult LoadText(const std::string& text) {
    std::string error;
    if (fake_registry::Load(text, "test.reg", &error))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << error;
}

HKEY Open(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    return RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS ? key : nullptr;
}

std::vector<std::wstring> SubkeyNames(HKEY key) {
    std::vector<std::wstring> names;
    WCHAR name[kNameChars];
    for (DWORD i = 0; RegEnumKeyW(key, i, name, kNameChars) == ERROR_SUCCESS; ++i)
        names.push_back(name);
    return names;
}

::testing::AssertionResult ReadValues(HKEY key, std::vector<ValueRead>* values) {
    DWORD count = 0, max_bytes = 0;
    LONG status = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                                   nullptr, &max_bytes, nullptr, nullptr);
    if (status != ERROR_SUCCESS)
        return ::testing::AssertionFailure() << "RegQueryInfoKeyW returned " << status;
    values->clear();
    for (DWORD i = 0; i < count; ++i) {
        WCHAR name[kNameChars];
        DWORD name_chars = kNameChars, type = REG_NONE, bytes = max_bytes;
        std::vector<BYTE> data(max_bytes);
        status = RegEnumValueW(key, i, name, &name_chars, nullptr, &type, data.data(), &bytes);
        if (status != ERROR_SUCCESS)
            return ::testing::AssertionFailure() << "RegEnumValueW of value " << i << " returned " << status;
        data.resize(bytes);
        values->push_back(ValueRead{name, type, data});
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult ReadValues(HKEY root, const std::wstring& path, std::vector<ValueRead>* values) {
    HKEY key = Open(root, path);
    if (!key)
        return ::testing::AssertionFailure() << "the key does not open";
    ::testing::AssertionResult read = ReadValues(key, values);
    RegCloseKey(key);
    return read;
}

std::wstring Units(const ValueRead& value) {
    std::wstring units(value.data.size() / sizeof(WCHAR), L'\0');
    std::memcpy(&units[0], value.data.data(), units.size() * sizeof(WCHAR));
    return units;
}

std::wstring Text(HKEY root, const std::wstring& path, const std::wstring& name) {
    std::vector<ValueRead> values;
    if (ReadValues(root, path, &values))
        for (const ValueRead& value : values)
            if (value.name == name)
                return Units(value).c_str();
    return std::wstring();
}

}  // namespace registry_test
