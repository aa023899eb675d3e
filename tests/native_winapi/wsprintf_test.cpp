// The native wsprintfW: the conversions key paths are formatted with, and
// user32's limit of 1024 characters.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/windows_api.h"

namespace {

constexpr WCHAR kSentinel = 0xBEEF;
constexpr size_t kLimit = 1024;  // characters, the NUL included

TEST(Wsprintf, FormatsTheConversionsKeyPathsUse) {
    WCHAR buffer[kLimit];
    int length = wsprintfW(buffer, L"PCI\\VEN_%.4X&DEV_%.4X&SUBSYS_%.4X%.4X&REV_%.2X", 0x6A5D,
                           0x101, 0x1, 0x6A5D, 0xE1);
    EXPECT_EQ(std::wstring(buffer), L"PCI\\VEN_6A5D&DEV_0101&SUBSYS_00016A5D&REV_E1");
    EXPECT_EQ(length, 44);
    wsprintfW(buffer, L"%s\\%s\\Control", L"PCI\\VEN_1", L"3&2411e6fe&0&28");
    EXPECT_EQ(std::wstring(buffer), L"PCI\\VEN_1\\3&2411e6fe&0&28\\Control");
    wsprintfW(buffer, L"Enum\\%hs|%X|%.2X|%.10X|%x|100%%", "PCI\\x", 0xABCDEF12u, 0x1234, 0xFu, 0xABu);
    EXPECT_EQ(std::wstring(buffer), L"Enum\\PCI\\x|ABCDEF12|1234|000000000F|ab|100%");
    wsprintfW(buffer, L"%s|%hs|%", static_cast<const WCHAR*>(nullptr), static_cast<const char*>(nullptr));
    EXPECT_EQ(std::wstring(buffer), L"(null)|(null)|");
}

TEST(Wsprintf, StopsAt1024Characters) {
    std::vector<WCHAR> buffer(2 * kLimit, kSentinel);
    const std::wstring long_text(3 * kLimit / 2, L'x');
    for (int length : {wsprintfW(buffer.data(), L"%s", long_text.c_str()),
                       wsprintfW(buffer.data(), L"%.4000X", 1u)}) {
        EXPECT_EQ(length, static_cast<int>(kLimit - 1));
        EXPECT_EQ(buffer[kLimit - 1], L'\0');
        EXPECT_EQ(buffer[kLimit], kSentinel);
    }
}

}  // namespace
