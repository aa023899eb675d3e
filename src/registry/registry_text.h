// Fixed-size text buffers of the registry lookups, and the few safe moves
// between them: the registry hands out wide text that need not end in a
// NUL, the records keep 8-bit text of a fixed size.
#ifndef QUOREL_REGISTRY_REGISTRY_TEXT_H
#define QUOREL_REGISTRY_REGISTRY_TEXT_H

#include <cstddef>

#include "platform/windows_api.h"

namespace quorel::registry {

// Key paths, names and texts: 259 characters and the terminator.
constexpr unsigned kTextChars = 260;
using Text = WCHAR[kTextChars];

// Value data as RegEnumValueW fills it: 260 characters, plus one place the
// registry never writes, so that the text always ends in a NUL there.
struct ValueData {
    WCHAR text[kTextChars + 1];
    // The capacity to pass: the largest data of the key, but at most the buffer.
    static DWORD Capacity(DWORD max_value_bytes);
    // Empties the buffer before a read.
    void Clear();
    // Ends the text after the `bytes` that a read returned.
    void Terminate(DWORD bytes);
};

// Copies wide text into an 8-bit field in the current locale, cut to fit
// and always terminated; a text the locale cannot convert leaves it empty.
void StoreNarrow(char* field, size_t field_size, const WCHAR* text);
template <size_t N>
void StoreNarrow(char (&field)[N], const WCHAR* text) {
    StoreNarrow(field, N, text);
}

// Copies wide text into a buffer, cut to fit and terminated.
void CopyText(Text& buffer, const WCHAR* text);

// True when first, a backslash, second and suffix fit a key path buffer
// with its terminator (wsprintfW knows no buffer size).
bool PathFits(const WCHAR* first, const WCHAR* second, const WCHAR* suffix);

}  // namespace quorel::registry

#endif  // QUOREL_REGISTRY_REGISTRY_TEXT_H
