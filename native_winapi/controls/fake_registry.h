// Test controls of the native build's in-process registry (the Reg*
// functions of platform/windows_api.h), for tests and fuzzers only.
//
// The registry is filled from .reg files, the format regedit exports:
// "Windows Registry Editor Version 5.00" (UTF-16LE with BOM, or UTF-8) and
// "REGEDIT4". Roots HKEY_LOCAL_MACHINE and HKEY_DYN_DATA. It behaves as
// Windows does where the library can tell: paths are found case-
// insensitively, names come back as stored, subkeys enumerate sorted by
// their upper-cased names, values in the order they were created,
// ERROR_MORE_DATA when a name or data does not fit (nothing written past
// the caller's buffer), string data need not be NUL-terminated.
//
// Until a test loads or clears it, the registry is what the library and the
// native tools see: the file named by QUOREL_SIM_REGISTRY, else the default machine's
// registry (backends/sim/machines/default-{nt6,nt5,9x}.reg) in the style of the
// Windows version GetVersionExW reports (QUOREL_SIM_WINVER, default 6.1):
// major 6 and later, 5, 4 and earlier; in a build over a real bus
// (QUOREL_DRIVER=sysfs) an empty registry. It is loaded at the first registry
// call, and chosen again after fake_windows::SetVersion changes the version.
// A QUOREL_SIM_REGISTRY file that cannot be read or is malformed is
// reported on stderr ("quorel-sim: <file>:<line>: ...") and gives an empty
// registry.
//
// Handles are small multiples of 4 and never reused; replacing the
// registry's contents (Load, Clear, Reset, a version change) invalidates
// every open handle.
#ifndef QUOREL_NATIVE_WINAPI_FAKE_REGISTRY_H
#define QUOREL_NATIVE_WINAPI_FAKE_REGISTRY_H

#include <cstdint>
#include <string>

#include "settings/settings.h"

namespace fake_registry {

// The registry file the tools use, and its environment variable.
inline constexpr auto& kRegistryVariable = quorel::settings::kSimRegistry;

// Replaces the whole registry with the .reg text (bytes as in the file:
// UTF-16LE with BOM, UTF-8 or ANSI). `name` appears in messages. On a
// malformed text the registry is left empty and *error says
// "<name>:<line>: <what is wrong>, expected ...". Injected failures stay;
// the call count starts again.
bool Load(const std::string& bytes, const std::string& name, std::string* error);
// The same for a file.
bool LoadFile(const std::string& path, std::string* error);
// An empty registry (both roots present, nothing below them).
void Clear();
// Back to the lazily loaded default described above; failures cleared.
// fake_windows::Reset() does this too.
void Reset();

// Failure injection: the call fails with ERROR_ACCESS_DENIED. Paths are
// full key paths with their root (HKLM may stand for HKEY_LOCAL_MACHINE),
// e.g. L"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\PCI",
// compared case-insensitively, however the key was reached; value names
// too.
void FailOpen(const std::wstring& key_path);      // RegOpenKeyExW of it fails
void FailQuery(const std::wstring& key_path);     // RegQueryInfoKeyW on it fails
void FailValue(const std::wstring& key_path, const std::wstring& value_name);  // its RegEnumValueW fails
// Counts every registry call (open, enum key, query, enum value, close)
// from 1 since the last Reset/Load/Clear; the nth fails with
// ERROR_ACCESS_DENIED (RegCloseKey still releases its handle). 0: none.
void FailNthCall(uint64_t nth);
uint64_t Calls();
// Handles opened and not yet closed: a leak check for tests.
int OpenHandles();

}  // namespace fake_registry

#endif  // QUOREL_NATIVE_WINAPI_FAKE_REGISTRY_H
