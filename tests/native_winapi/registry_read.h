// Reads the native registry back through the Reg* functions, for the
// tests of the native registry.
#ifndef QUOREL_TESTS_NATIVE_WINAPI_REGISTRY_READ_H
#define QUOREL_TESTS_NATIVE_WINAPI_REGISTRY_READ_H

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/windows_api.h"

namespace registry_test {

// Loads the .reg text as "test.reg" and expects it to be accepted.
::testing::AssertionResult LoadText(const std::string& text);

// The handle of root\path, or null when it does not open.
HKEY Open(HKEY root, const std::wstring& path);

struct ValueRead {
    std::wstring name;
    DWORD type;
    std::vector<BYTE> data;
};

std::vector<std::wstring> SubkeyNames(HKEY key);
// Every value of the key (or of root\path), in order, into *values; a
// failure names the call that failed.
::testing::AssertionResult ReadValues(HKEY key, std::vector<ValueRead>* values);
::testing::AssertionResult ReadValues(HKEY root, const std::wstring& path, std::vector<ValueRead>* values);
// The WCHAR units of text data, its NUL included when it has one.
std::wstring Units(const ValueRead& value);
// The text value `name` of root\path up to its first NUL; empty when absent
// or unreadable.
std::wstring Text(HKEY root, const std::wstring& path, const std::wstring& name);

}  // namespace registry_test

#endif  // QUOREL_TESTS_NATIVE_WINAPI_REGISTRY_READ_H
