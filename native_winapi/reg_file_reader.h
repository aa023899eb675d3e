// Reads .reg files, the format regedit exports and imports:
//
//   Windows Registry Editor Version 5.00      (or REGEDIT4)
//
//   ; a comment
//   [HKEY_LOCAL_MACHINE\SYSTEM\Some\KeyNode]       (HKLM and HKEY_DYN_DATA too)
//   "Name"="text with \\ and \" escaped"
//   @="the key's default value"
//   "Number"=dword:0000001f
//   "Bytes"=hex:00,01,02,\                    (a final backslash: the bytes
//     03,04                                    go on on the next line)
//   "Text"=hex(2):25,00,31,00,00,00           (hex(N): any type N)
//   "Gone"=-                                  (deletes the value)
//   [-HKEY_LOCAL_MACHINE\SYSTEM\Some\KeyNode]      (deletes the key and below)
//
// In version 5.00 files the bytes of hex(1), hex(2) and hex(7) data are
// UTF-16LE text, in REGEDIT4 files 8-bit text.
#ifndef QUOREL_NATIVE_WINAPI_REG_FILE_READER_H
#define QUOREL_NATIVE_WINAPI_REG_FILE_READER_H

#include <string>
#include <string_view>

#include "native_winapi/key_tree.h"

namespace native_winapi::registry {

// Adds the file's keys and values to `hives`. A malformed file gives false
// and "<name>:<line>: <what is wrong>, expected ..." in *error; `hives` is
// then partly filled and must be thrown away.
bool ReadRegFile(std::string_view bytes, const std::string& name, Hives* hives,
                 std::string* error);
// The same for the file at `path` (UTF-8 or UTF-16 with a byte-order mark,
// as regedit exports); one that cannot be read gives "<path>: cannot read
// the file: <why>".
bool ReadRegFileAt(const std::string& path, Hives* hives, std::string* error);

}  // namespace native_winapi::registry

#endif  // QUOREL_NATIVE_WINAPI_REG_FILE_READER_H
