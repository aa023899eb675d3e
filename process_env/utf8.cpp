#include "process_env/utf8.h"

#include <cstdio>

namespace quorel::process_env {

namespace {

constexpr char32_t kHighSurrogate = 0xD800;
constexpr char32_t kLowSurrogate = 0xDC00;
constexpr char32_t kSurrogateEnd = 0xE000;
constexpr char32_t kFirstSupplementary = 0x10000;
constexpr char32_t kLastCodePoint = 0x10FFFF;
constexpr unsigned kSurrogateBits = 10;
constexpr unsigned kContinuationBits = 6;
constexpr unsigned char kContinuationMask = 0x3F;
constexpr unsigned kBitsPerByte = 8;
// Smallest code point of a UTF-8 sequence of 1..4 bytes (shorter is overlong).
constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
constexpr unsigned char kLeadMarks[] = {0, 0, 0xC0, 0xE0, 0xF0};
constexpr char32_t kFirstControl = 0x20;  // C0 controls lie below
constexpr char32_t kDelete = 0x7F;        // C1 controls follow it up to 0x9F
constexpr char32_t kAfterControls = 0xA0;

bool IsHighSurrogate(char32_t c) { return c >= kHighSurrogate && c < kLowSurrogate; }
bool IsLowSurrogate(char32_t c) { return c >= kLowSurrogate && c < kSurrogateEnd; }
bool IsControl(char32_t c) { return c < kFirstControl || (c >= kDelete && c < kAfterControls); }

size_t Utf8Length(unsigned char lead) {
    if (lead < 0x80)
        return 1;
    if ((lead >> 5) == 0x6)
        return 2;
    if ((lead >> 4) == 0xE)
        return 3;
    return (lead >> 3) == 0x1E ? 4 : 0;
}

// UTF-16 units to UTF-8: unit(i) is unit i of `count`.
template <typename Unit>
std::string FromUnits(size_t count, Unit unit) {
    std::string out;
    for (size_t i = 0; i < count; ++i) {
        char32_t c = unit(i);
        if (IsHighSurrogate(c) && i + 1 < count && IsLowSurrogate(unit(i + 1)))
            c = kFirstSupplementary + ((c - kHighSurrogate) << kSurrogateBits) + (unit(++i) - kLowSurrogate);
        AppendUtf8(c, &out);
    }
    return out;
}

void AppendEscaped(char32_t c, std::string* out) {
    if (c == '\t' || c == '\n' || c == '\r') {
        *out += c == '\t' ? "\\t" : c == '\n' ? "\\n" : "\\r";
        return;
    }
    char text[8];
    std::snprintf(text, sizeof(text), c < 0x80 ? "\\x%02x" : "\\u%04x", static_cast<unsigned>(c));
    *out += text;
}

// Calls take(code, bytes) for each character of the text, an invalid byte
// as U+FFFD.
template <typename Take>
void ForEachCharacter(std::string_view text, Take take) {
    for (size_t at = 0; at < text.size();) {
        char32_t code = kReplacement;
        const size_t length = Utf8Sequence(text, at, &code);
        take(code, length ? text.substr(at, length) : std::string_view());
        at += length ? length : 1;
    }
}

}  // namespace

size_t Utf8Sequence(std::string_view text, size_t at, char32_t* code) {
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    const size_t length = Utf8Length(lead);
    if (length == 0 || at + length > text.size())
        return 0;
    char32_t value = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        const unsigned char next = static_cast<unsigned char>(text[at + i]);
        if ((next & ~kContinuationMask) != 0x80)
            return 0;
        value = value << kContinuationBits | (next & kContinuationMask);
    }
    if (value < kSmallest[length] || value > kLastCodePoint || IsHighSurrogate(value) || IsLowSurrogate(value))
        return 0;
    *code = value;
    return length;
}

void AppendUtf8(char32_t c, std::string* out) {
    if (c > kLastCodePoint || IsHighSurrogate(c) || IsLowSurrogate(c))
        c = kReplacement;
    if (c < 0x80) {
        out->push_back(static_cast<char>(c));
        return;
    }
    const size_t length = c < 0x800 ? 2 : c < kFirstSupplementary ? 3 : 4;
    out->push_back(static_cast<char>(kLeadMarks[length] | (c >> (kContinuationBits * (length - 1)))));
    for (size_t i = length - 1; i-- > 0;)
        out->push_back(static_cast<char>(0x80 | ((c >> (kContinuationBits * i)) & kContinuationMask)));
}

std::string ValidUtf8(std::string_view text) {
    std::string out;
    ForEachCharacter(text, [&out](char32_t code, std::string_view bytes) {
        if (bytes.empty())
            AppendUtf8(code, &out);
        else
            out += bytes;
    });
    return out;
}

std::string Printable(std::string_view text) {
    std::string out;
    ForEachCharacter(text, [&out](char32_t code, std::string_view) {
        if (IsControl(code))
            AppendEscaped(code, &out);
        else
            AppendUtf8(code, &out);
    });
    return out;
}

std::string Utf8FromWide(std::wstring_view text) {
    if constexpr (sizeof(wchar_t) == 2)
        return FromUnits(text.size(), [text](size_t i) { return static_cast<char32_t>(text[i] & 0xFFFF); });
    std::string out;
    for (wchar_t c : text)
        AppendUtf8(static_cast<char32_t>(c), &out);
    return out;
}

std::wstring WideFromUtf8(std::string_view text) {
    std::wstring out;
    ForEachCharacter(text, [&out](char32_t code, std::string_view) {
        if (sizeof(wchar_t) == 2 && code >= kFirstSupplementary) {
            code -= kFirstSupplementary;
            out.push_back(static_cast<wchar_t>(kHighSurrogate + (code >> kSurrogateBits)));
            code = kLowSurrogate + (code & ((1u << kSurrogateBits) - 1));
        }
        out.push_back(static_cast<wchar_t>(code));
    });
    return out;
}

std::string Utf8FromUtf16(std::string_view bytes, bool big_endian) {
    const size_t units = (bytes.size() + 1) / 2;
    return FromUnits(units, [bytes, big_endian](size_t i) {
        if (2 * i + 1 >= bytes.size())
            return kReplacement;  // an odd last byte
        const char32_t first = static_cast<unsigned char>(bytes[2 * i]);
        const char32_t second = static_cast<unsigned char>(bytes[2 * i + 1]);
        return static_cast<char32_t>(big_endian ? first << kBitsPerByte | second : second << kBitsPerByte | first);
    });
}

}  // namespace quorel::process_env
