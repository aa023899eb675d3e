#include "registry/registry_text.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace quorel::registry {

DWORD ValueData::Capacity(DWORD max_value_bytes) {
    const DWORD buffer_bytes = kTextChars * sizeof(WCHAR);
    return max_value_bytes < buffer_bytes ? max_value_bytes : buffer_bytes;
}

void ValueData::Clear() { std::memset(text, 0, sizeof(text)); }

void ValueData::Terminate(DWORD bytes) {
    const DWORD chars = bytes / sizeof(WCHAR);
    text[chars < kTextChars ? chars : kTextChars] = 0;
}

void StoreNarrow(char* field, size_t field_size, const WCHAR* text) {
    const size_t converted = std::wcstombs(field, text, field_size - 1);
    if (converted == static_cast<size_t>(-1))
        field[0] = 0;
    else
        field[converted] = 0;  // wcstombs leaves a full field unterminated
}

void CopyText(Text& buffer, const WCHAR* text) {
    size_t length = std::wcslen(text);
    if (length >= kTextChars)
        length = kTextChars - 1;
    std::wmemcpy(buffer, text, length);
    buffer[length] = 0;
}

bool PathFits(const WCHAR* first, const WCHAR* second, const WCHAR* suffix) {
    return std::wcslen(first) + 1 + std::wcslen(second) + std::wcslen(suffix) < kTextChars;
}

}  // namespace quorel::registry
