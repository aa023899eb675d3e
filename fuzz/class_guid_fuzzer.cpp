// ParseClassGuid on any text, in the "C" locale (only ASCII converts) and a
// UTF-8 one. Beyond what the sanitizers see: only the first 37 characters
// of a text that converts may matter.
#include <cstring>
#include <cwchar>
#include <string>

#include "fuzz_support.h"
#include "registry/annotate.h"

namespace {

constexpr size_t kCharsThatMatter = 37;

bool SameGuid(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }

bool Converts(const std::wstring& text) {
    std::mbstate_t state{};
    const wchar_t* source = text.c_str();
    return std::wcsrtombs(nullptr, &source, 0, &state) != static_cast<size_t>(-1);
}

void Parse(const std::wstring& text) {
    quorel::DeviceRecord whole{}, head{};
    quorel::ParseClassGuid(whole, text.c_str());
    quorel::ParseClassGuid(head, text.substr(0, kCharsThatMatter).c_str());
    if (Converts(text))
        FUZZ_CHECK(SameGuid(whole.class_guid, head.class_guid));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::wstring text =
        fuzz::WideText(std::string(reinterpret_cast<const char*>(data), size));
    for (bool utf8 : {false, true}) {
        fuzz::UseLocale(utf8);
        Parse(text);
    }
    return 0;
}
