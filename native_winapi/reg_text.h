// The text encodings of .reg files. regedit writes "Windows Registry Editor
// Version 5.00" files as UTF-16LE with a byte-order mark and REGEDIT4 files
// in the ANSI code page; hand-written files are usually UTF-8.
#ifndef QUOREL_NATIVE_WINAPI_REG_TEXT_H
#define QUOREL_NATIVE_WINAPI_REG_TEXT_H

#include <string>
#include <string_view>

namespace native_winapi::registry {

// UTF-16LE after the byte-order mark FF FE; otherwise UTF-8, its mark
// dropped, where a byte that is not part of valid UTF-8 stands for itself
// (Latin-1), as an ANSI file's bytes mostly do.
std::wstring DecodeRegText(std::string_view bytes);

// Little-endian UTF-16 code units, surrogate pairs joined into one native
// WCHAR; an odd last byte becomes a unit of its own.
std::wstring FromUtf16Le(std::string_view bytes);

// UTF-8, for messages.
std::string ToUtf8(std::wstring_view text);

}  // namespace native_winapi::registry

#endif  // QUOREL_NATIVE_WINAPI_REG_TEXT_H
