#include "native_winapi/reg_text.h"

#include "process_env/utf8.h"

namespace native_winapi::registry {

namespace {

constexpr std::string_view kUtf16Mark = "\xFF\xFE";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr char32_t kHighSurrogate = 0xD800;
constexpr char32_t kLowSurrogate = 0xDC00;
constexpr char32_t kSurrogateEnd = 0xE000;
constexpr char32_t kFirstSupplementary = 0x10000;

std::wstring FromUtf8(std::string_view bytes) {
    std::wstring text;
    for (size_t at = 0; at < bytes.size();) {
        char32_t code = 0;
        size_t length = quorel::process_env::Utf8Sequence(bytes, at, &code);
        text.push_back(length ? static_cast<wchar_t>(code)
                              : static_cast<wchar_t>(static_cast<unsigned char>(bytes[at])));
        at += length ? length : 1;
    }
    return text;
}

}  // namespace

std::wstring FromUtf16Le(std::string_view bytes) {
    std::wstring text;
    for (size_t at = 0; at < bytes.size(); at += 2) {
        char32_t unit = static_cast<unsigned char>(bytes[at]);
        if (at + 1 < bytes.size())
            unit |= static_cast<char32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8;
        char32_t last = text.empty() ? 0 : static_cast<char32_t>(text.back());
        bool joins = unit >= kLowSurrogate && unit < kSurrogateEnd && last >= kHighSurrogate &&
                     last < kLowSurrogate;
        if (joins)
            text.back() = static_cast<wchar_t>(kFirstSupplementary + ((last - kHighSurrogate) << 10) +
                                               (unit - kLowSurrogate));
        else
            text.push_back(static_cast<wchar_t>(unit));
    }
    return text;
}

std::wstring DecodeRegText(std::string_view bytes) {
    if (bytes.substr(0, kUtf16Mark.size()) == kUtf16Mark)
        return FromUtf16Le(bytes.substr(kUtf16Mark.size()));
    if (bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark)
        bytes.remove_prefix(kUtf8Mark.size());
    return FromUtf8(bytes);
}

std::string ToUtf8(std::wstring_view text) { return quorel::process_env::Utf8FromWide(text); }

}  // namespace native_winapi::registry
