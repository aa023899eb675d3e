#include "fuzz_support.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "native_winapi/controls/fake_registry.h"
#include "native_winapi/reg_text.h"

namespace fuzz {

namespace {

constexpr char kRegHeader[] = "Windows Registry Editor Version 5.00\n";
constexpr char kHexDigits[] = "0123456789abcdef";
constexpr uint32_t kFirstNonBmp = 0x10000;
constexpr uint32_t kHighSurrogate = 0xD800;
constexpr uint32_t kLowSurrogate = 0xDC00;
constexpr unsigned kSurrogateBits = 10;
constexpr uint32_t kSurrogateMask = 0x3FF;

void AppendUnit(std::string& hex, uint32_t unit) {
    for (unsigned byte = 0; byte < 2; ++byte) {
        const unsigned value = (unit >> (8 * byte)) & 0xFF;
        hex += kHexDigits[value >> 4];
        hex += kHexDigits[value & 0xF];
        hex += ',';
    }
}

}  // namespace

void Fail(const char* what, const char* file, int line) {
    std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", what, file, line);
    std::abort();
}

std::wstring WideText(const std::string& bytes) {
    return native_winapi::registry::DecodeRegText(bytes);
}

FlaggedInput ReadFlagged(const uint8_t* data, size_t size, size_t count) {
    FlaggedInput input;
    input.fields.resize(count);
    if (size == 0)
        return input;
    input.flags = data[0];
    const char* text = reinterpret_cast<const char*>(data);
    size_t at = 1;
    for (size_t i = 0; i < count && at <= size; ++i) {
        size_t end = i + 1 == count ? size : at;
        while (end < size && text[end] != 0)
            ++end;
        input.fields[i].assign(text + at, end - at);
        at = end + 1;
    }
    return input;
}

void UseLocale(bool utf8) { std::setlocale(LC_CTYPE, utf8 ? "C.UTF-8" : "C"); }

RegText::RegText() : bytes_(kRegHeader) {}

void RegText::Key(const std::wstring& path) {
    bytes_ += "[" + native_winapi::registry::ToUtf8(path) + "]\n";
}

void RegText::Text(const std::wstring& name, const std::wstring& text, bool terminated) {
    std::string hex;
    for (wchar_t c : text) {
        const uint32_t unit = static_cast<uint32_t>(c);
        if (unit < kFirstNonBmp) {
            AppendUnit(hex, unit);
            continue;
        }
        AppendUnit(hex, kHighSurrogate | ((unit - kFirstNonBmp) >> kSurrogateBits));
        AppendUnit(hex, kLowSurrogate | (unit & kSurrogateMask));
    }
    if (terminated)
        AppendUnit(hex, 0);
    if (!hex.empty())
        hex.pop_back();  // the last comma
    bytes_ += "\"" + native_winapi::registry::ToUtf8(name) + "\"=hex(1):" + hex + "\n";
}

void RegText::DescriptionAndClass(const std::string& description, const std::string& class_guid,
                                  bool terminated) {
    Text(L"DeviceDesc", WideText(description), terminated);
    Text(L"ClassGUID", WideText(class_guid), terminated);
}

bool LoadRegistry(const RegText& text) {
    std::string error;
    return fake_registry::Load(text.bytes(), "fuzz.reg", &error);
}

}  // namespace fuzz

// ASan keeps freed memory out of use for its first 256 MiB, so every input
// would touch fresh pages, and page faults would cost more than the input
// itself. A smaller quarantine still catches a use after free within an
// input and the next few.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=32"; }
