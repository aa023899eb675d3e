// The .reg reader: the encodings and forms regedit writes, and the refusal
// of malformed files with their line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "native_winapi/controls/fake_registry.h"
#include "registry_read.h"

namespace registry_test {
namespace {

const std::string kHeader = "Windows Registry Editor Version 5.00\r\n\r\n";

std::string Utf16LeWithBom(const std::u16string& text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

class RegFile : public ::testing::Test {
protected:
    void TearDown() override { fake_registry::Reset(); }
};

TEST_F(RegFile, ReadsUtf16Utf8AndRegedit4) {
    const std::u16string text =
        u"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Sw]\r\n"
        u"\"Name\"=\"Stra\u00dfe \U0001F600\"\r\n";
    const std::string utf8 = kHeader + "[HKEY_LOCAL_MACHINE\\Sw]\n\"Name\"=\"Stra\xC3\x9F" "e \xF0\x9F\x98\x80\"\n";
    for (const std::string& bytes : {Utf16LeWithBom(text), utf8, "\xEF\xBB\xBF" + utf8}) {
        EXPECT_TRUE(LoadText(bytes));
        // The surrogate pair is one native WCHAR: each unit is what the text holds.
        EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, L"Sw", L"Name"), L"Stra\u00dfe \U0001F600");
    }
    // REGEDIT4 files hold the text of hex(2) data as 8-bit characters.
    EXPECT_TRUE(LoadText("REGEDIT4\n\n[HKLM\\Sw]\n\"Path\"=hex(2):25,53,00\n"));
    std::vector<ValueRead> values;
    ASSERT_TRUE(ReadValues(HKEY_LOCAL_MACHINE, L"Sw", &values));
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].type, REG_EXPAND_SZ);
    EXPECT_EQ(Units(values[0]), std::wstring(L"%S", 3));
}

TEST_F(RegFile, ReadsEveryKindOfData) {
    EXPECT_TRUE(LoadText(kHeader +
                         "; comment\n"
                         "[HKEY_LOCAL_MACHINE\\Sw]\n"
                         "@=\"default\"\n"
                         "\"Esc\\\\aped \\\"name\\\"\"=\"C:\\\\dir \\\"quoted\\\"\"\n"
                         "\"Number\"=dword:0000001f\n"
                         "\"Bytes\"=hex:00,01,\\\n"
                         "   02 , 03,\\\n"
                         "  04\n"
                         "\"Empty\"=hex:\n"
                         "\"Unterminated\"=hex(1):41,00,42,00\n"
                         "\"Multi\"=hex(7):41,00,00,00,42,00,00,00,00,00\n"
                         "\"Wide\"=hex(b):01,02,03,04,05,06,07,08\n"
                         "\"EmptyText\"=hex(1):\n"));
    std::vector<ValueRead> values;
    ASSERT_TRUE(ReadValues(HKEY_LOCAL_MACHINE, L"Sw", &values));
    ASSERT_EQ(values.size(), 9u);
    EXPECT_EQ(values[0].name, L"");
    EXPECT_EQ(Units(values[0]), std::wstring(L"default", 8));  // NUL included
    EXPECT_EQ(values[1].name, L"Esc\\aped \"name\"");
    EXPECT_EQ(Units(values[1]), std::wstring(L"C:\\dir \"quoted\"", 16));
    EXPECT_EQ(values[2].type, REG_DWORD);
    EXPECT_EQ(values[2].data, (std::vector<BYTE>{0x1F, 0, 0, 0}));
    EXPECT_EQ(values[3].type, REG_BINARY);
    EXPECT_EQ(values[3].data, (std::vector<BYTE>{0, 1, 2, 3, 4}));
    EXPECT_TRUE(values[4].data.empty());
    EXPECT_EQ(values[5].type, REG_SZ);
    EXPECT_EQ(Units(values[5]), L"AB");  // stored without a NUL, handed out without one
    EXPECT_EQ(values[6].type, REG_MULTI_SZ);
    EXPECT_EQ(Units(values[6]), std::wstring(L"A\0B\0\0", 5));
    EXPECT_EQ(values[7].type, 0xBu);
    EXPECT_EQ(values[7].data.size(), 8u);
    EXPECT_EQ(values[8].type, REG_SZ);
    EXPECT_TRUE(values[8].data.empty());
}

TEST_F(RegFile, SectionsMergeCaseInsensitivelyAndDeletionsApply) {
    EXPECT_TRUE(LoadText(kHeader +
                         "[HKLM\\Sw\\Gone\\Deeper]\n"
                         "[HKEY_LOCAL_MACHINE\\Sw]\n\"Keep\"=\"1\"\n\"Drop\"=\"2\"\n"
                         "[hkey_local_machine\\SW]\n\"drop\"=-\n\"KEEP\"=\"3\"\n"
                         "[-HKEY_LOCAL_MACHINE\\Sw\\Gone]\n\"Ignored\"=hex:00,\\\n  01\n"
                         "[-HKEY_LOCAL_MACHINE\\Sw\\Never\\There]\n"));
    HKEY key = Open(HKEY_LOCAL_MACHINE, L"sw");
    ASSERT_NE(key, nullptr);
    EXPECT_TRUE(SubkeyNames(key).empty());
    std::vector<ValueRead> values;
    EXPECT_TRUE(ReadValues(key, &values));
    RegCloseKey(key);
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].name, L"KEEP");  // replaced in place, under the newer spelling
    EXPECT_EQ(Units(values[0]), std::wstring(L"3", 2));
}

// Each malformed text with the start of its message.
TEST_F(RegFile, RefusesMalformedFilesNamingTheLine) {
    const std::string key = kHeader + "[HKLM\\Sw]\n";  // lines 1 to 3
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"bad.reg:1: not a registry file, expected 'Windows Registry Editor", "[HKLM\\Sw]\n"},
        {"bad.reg:3: unknown root 'HKEY_CURRENT_USER'", kHeader + "[HKEY_CURRENT_USER\\Sw]\n"},
        {"bad.reg:3: key line '[HKLM\\Sw' without its closing ]", kHeader + "[HKLM\\Sw\n"},
        {"bad.reg:3: empty key name", kHeader + "[HKLM\\Sw\\\\x]\n"},
        {"bad.reg:3: a NUL character in the key line", kHeader + std::string("[HKLM\\S\0w]\n", 11)},
        {"bad.reg:3: a root key cannot be deleted", kHeader + "[-HKLM]\n"},
        {"bad.reg:3: value before any [key] line", kHeader + "\"a\"=\"b\"\n"},
        {"bad.reg:4: unexpected text 'a=b'", key + "a=b\n"},
        {"bad.reg:4: no = after value name 'a'", key + "\"a\" \"b\"\n"},
        {"bad.reg:4: unterminated value name", key + "\"abc\n"},
        {"bad.reg:4: a NUL character in the value name", key + std::string("\"a\0b\"=\"c\"\n", 10)},
        {"bad.reg:4: unterminated string", key + "\"a\"=\"b\n"},
        {"bad.reg:4: unknown escape '\\n'", key + "\"a\"=\"b\\n\"\n"},
        {"bad.reg:4: unexpected text 'c' after the string", key + "\"a\"=\"b\" c\n"},
        {"bad.reg:4: bad dword 'dword:123456789'", key + "\"a\"=dword:123456789\n"},
        {"bad.reg:4: bad data 'qword:1' for value 'a'", key + "\"a\"=qword:1\n"},
        {"bad.reg:4: bad value type in '(z):00'", key + "\"a\"=hex(z):00\n"},
        {"bad.reg:4: bad hex byte '1g' in value 'a'", key + "\"a\"=hex:00,1g\n"},
        {"bad.reg:4: bad hex byte ''", key + "\"a\"=hex:00,,01\n"},
        {"bad.reg:6: bad hex byte 'zz'", key + "\"a\"=hex:00,\\\n  01,\\\n  zz\n"},
        {"bad.reg:4: the file ends inside the data of value 'a'", key + "\"a\"=hex:00,\\"},
    };
    EXPECT_TRUE(LoadText(key));
    for (const auto& [expected, text] : cases) {
        std::string error;
        EXPECT_FALSE(fake_registry::Load(text, "bad.reg", &error)) << expected;
        EXPECT_EQ(error.substr(0, expected.size()), expected);
        EXPECT_TRUE(SubkeyNames(HKEY_LOCAL_MACHINE).empty()) << expected;  // nothing half loaded
    }
    std::string error;
    EXPECT_FALSE(fake_registry::LoadFile("/nonexistent/quorel.reg", &error));
    EXPECT_EQ(error, "/nonexistent/quorel.reg: cannot read the file: No such file or directory");
}

}  // namespace
}  // namespace registry_test
