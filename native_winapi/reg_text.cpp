#include "native_winapi/reg_text.h"

namespace native_winapi::registry {

namespace {

constexpr std::string_view kUtf16Mark = "\xFF\xFE";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr char32_t kHighSurrogate = 0xD800;
constexpr char32_t kLowSurrogate = 0xDC00;
constexpr char32_t kSurrogateEnd = 0xE000;
constexpr char32_t kFirstSupplementary = 0x10000;
constexpr char32_t kLastCodePoint = 0x10FFFF;
constexpr unsigned kContinuationBits = 6;
constexpr unsigned char kContinuationMask = 0x3F;
// Smallest code point of a UTF-8 sequence of 1..4 bytes (shorter is overlong).
constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};

bool IsSurrogate(char32_t c) { return c >= kHighSurrogate && c < kSurrogateEnd; }

size_t Utf8Length(unsigned char lead) {
    if (lead < 0x80)
        return 1;
    if ((lead >> 5) == 0x6)
        return 2;
    if ((lead >> 4) == 0xE)
        return 3;
    return (lead >> 3) == 0x1E ? 4 : 0;
}

// The length of the valid UTF-8 sequence at `at` and its code point; 0 when
// the bytes there are not one.
size_t Utf8Sequence(std::string_view text, size_t at, char32_t* code) {
    unsigned char lead = static_cast<unsigned char>(text[at]);
    size_t length = Utf8Length(lead);
    if (length == 0 || at + length > text.size())
        return 0;
    char32_t value = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        unsigned char next = static_cast<unsigned char>(text[at + i]);
        if ((next & ~kContinuationMask) != 0x80)
            return 0;
        value = value << kContinuationBits | (next & kContinuationMask);
    }
    if (value < kSmallest[length] || value > kLastCodePoint || IsSurrogate(value))
        return 0;
    *code = value;
    return length;
}

std::wstring FromUtf8(std::string_view bytes) {
    std::wstring text;
    for (size_t at = 0; at < bytes.size();) {
        char32_t code = 0;
        size_t length = Utf8Sequence(bytes, at, &code);
        text.push_back(length ? static_cast<wchar_t>(code)
                              : static_cast<wchar_t>(static_cast<unsigned char>(bytes[at])));
        at += length ? length : 1;
    }
    return text;
}

void AppendUtf8(char32_t c, std::string* out) {
    if (c > kLastCodePoint)
        c = U'?';
    if (c < 0x80) {
        out->push_back(static_cast<char>(c));
        return;
    }
    size_t length = c < 0x800 ? 2 : c < kFirstSupplementary ? 3 : 4;
    static const unsigned char kLeadMarks[] = {0, 0, 0xC0, 0xE0, 0xF0};
    out->push_back(static_cast<char>(kLeadMarks[length] | (c >> (kContinuationBits * (length - 1)))));
    for (size_t i = length - 1; i-- > 0;)
        out->push_back(static_cast<char>(0x80 | ((c >> (kContinuationBits * i)) & kContinuationMask)));
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

std::string ToUtf8(std::wstring_view text) {
    std::string out;
    for (wchar_t c : text)
        AppendUtf8(static_cast<char32_t>(c), &out);
    return out;
}

}  // namespace native_winapi::registry
