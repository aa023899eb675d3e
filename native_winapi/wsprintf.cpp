// user32's wsprintfW, for the conversions the library formats key paths
// with. It has no buffer size: like user32 it writes at most 1024
// characters, the terminating NUL included.
#include <cstdarg>
#include <type_traits>

#include "platform/windows_api.h"

namespace {

constexpr size_t kMaxChars = 1024;
constexpr unsigned kHexBase = 16;
constexpr unsigned kDecimalBase = 10;
constexpr wchar_t kUpperDigits[] = L"0123456789ABCDEF";
constexpr wchar_t kLowerDigits[] = L"0123456789abcdef";
constexpr wchar_t kNullText[] = L"(null)";  // what user32 prints for a null %s

class Output {
public:
    explicit Output(WCHAR* buffer) : buffer_(buffer) {}
    void Put(wchar_t c) {
        if (length_ + 1 < kMaxChars)
            buffer_[length_++] = c;
    }
    template <typename Char>
    void PutText(const Char* text) {
        if (!text)
            return PutText(kNullText);
        for (; *text; ++text)  // 8-bit text: each byte a character, as in Latin-1
            Put(static_cast<wchar_t>(static_cast<std::make_unsigned_t<Char>>(*text)));
    }
    // At least `precision` digits, with leading zeros.
    void PutHex(unsigned value, size_t precision, const wchar_t* digits) {
        wchar_t reversed[2 * sizeof(unsigned)];
        size_t count = 0;
        do {
            reversed[count++] = digits[value % kHexBase];
            value /= kHexBase;
        } while (value != 0);
        for (size_t i = count; i < precision && length_ + 1 < kMaxChars; ++i)
            Put(L'0');
        while (count > 0)
            Put(reversed[--count]);
    }
    int Finish() {
        buffer_[length_] = 0;
        return static_cast<int>(length_);
    }

private:
    WCHAR* buffer_;
    size_t length_ = 0;
};

// One conversion, `conv` just past its '%'; returns its last character.
const WCHAR* Convert(const WCHAR* conv, Output* out, va_list* args) {
    size_t precision = 0;
    if (*conv == L'.') {
        for (++conv; *conv >= L'0' && *conv <= L'9'; ++conv) {
            if (precision < kMaxChars)
                precision = precision * kDecimalBase + static_cast<size_t>(*conv - L'0');
        }
    }
    bool narrow = *conv == L'h';
    if (narrow || *conv == L'l')
        ++conv;
    switch (*conv) {
    case L's':
        narrow ? out->PutText(va_arg(*args, const char*)) : out->PutText(va_arg(*args, const WCHAR*));
        break;
    case L'X':
    case L'x':
        out->PutHex(va_arg(*args, unsigned), precision, *conv == L'X' ? kUpperDigits : kLowerDigits);
        break;
    case 0:
        return conv - 1;  // a '%' at the very end prints nothing
    default:
        out->Put(*conv);  // "%%", and the letter of a conversion not known here
    }
    return conv;
}

}  // namespace

int wsprintfW(WCHAR* buffer, const WCHAR* format, ...) {
    va_list args;
    va_start(args, format);
    Output out(buffer);
    for (const WCHAR* at = format; *at; ++at) {
        if (*at == L'%')
            at = Convert(at + 1, &out, &args);
        else
            out.Put(*at);
    }
    va_end(args);
    return out.Finish();
}
