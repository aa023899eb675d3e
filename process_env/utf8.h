// UTF-8 text: checking it, making it valid, showing it on a terminal, and
// the moves to and from wide text (UTF-16 on Windows, UTF-32 elsewhere)
// and UTF-16 files. Paths and messages are UTF-8 throughout; Windows gets
// them as wide text at its API.
#ifndef QUOREL_PROCESS_ENV_UTF8_H
#define QUOREL_PROCESS_ENV_UTF8_H

#include <string>
#include <string_view>

namespace quorel::process_env {

// What stands for a byte or a unit that is not text.
constexpr char32_t kReplacement = 0xFFFD;

// The length of the valid UTF-8 sequence at text[at] and its code point in
// *code; 0 when the bytes there are not one (overlong, a surrogate, above
// U+10FFFF, or cut short).
size_t Utf8Sequence(std::string_view text, size_t at, char32_t* code);
// Appends a code point; a surrogate or one above U+10FFFF as U+FFFD.
void AppendUtf8(char32_t code, std::string* out);

// The text with each byte that is not part of valid UTF-8 as U+FFFD.
std::string ValidUtf8(std::string_view text);
// The text for a terminal: valid UTF-8 (as ValidUtf8), with control
// characters written out: \t, \n, \r, \xNN (other C0 controls and DEL) and
// \uNNNN (C1 controls, U+0080..U+009F).
std::string Printable(std::string_view text);

// Wide text to UTF-8, surrogate pairs joined; a lone surrogate as U+FFFD.
std::string Utf8FromWide(std::wstring_view text);
// UTF-8 to wide text; invalid bytes as U+FFFD.
std::wstring WideFromUtf8(std::string_view text);
// UTF-16 in bytes, little- or big-endian, to UTF-8; a lone surrogate or an
// odd last byte as U+FFFD.
std::string Utf8FromUtf16(std::string_view bytes, bool big_endian);

}  // namespace quorel::process_env

#endif  // QUOREL_PROCESS_ENV_UTF8_H
