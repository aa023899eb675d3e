// The process-wide registry behind the native Reg* functions: the key tree,
// the open handles, the injected failures and the lazily loaded default.
// fake_registry.h is its face to tests and tools.
#ifndef QUOREL_PLATFORM_NATIVE_REGISTRY_STATE_H
#define QUOREL_PLATFORM_NATIVE_REGISTRY_STATE_H

#include <string>
#include <string_view>

#include "platform/native/registry_key.h"
#include "platform/windows_api.h"

namespace fake_registry::internal {

// A key reached through a handle, with its full path in the form failures
// are matched by: upper-cased, the root spelt out (HKEY_LOCAL_MACHINE\...).
struct OpenKey {
    Key* key;
    std::wstring path;
};

// Begins every Reg* call: loads the default registry when none is loaded,
// counts the call, and gives ERROR_ACCESS_DENIED when FailNthCall names it.
LONG BeginCall();

bool IsRoot(HKEY handle);
const OpenKey* FindHandle(HKEY handle);  // a root or an open handle, else null
HKEY AddHandle(Key* key, std::wstring path);
void RemoveHandle(HKEY handle);

// The full path of sub_path below an open key's path, in OpenKey's form.
std::wstring JoinPath(const std::wstring& parent, std::wstring_view sub_path);

bool OpenFails(const std::wstring& path);
bool QueryFails(const std::wstring& path);
bool ValueFails(const std::wstring& path, std::wstring_view value_name);

// The reported Windows version changed: a default registry chosen for the
// old one is dropped, to be chosen again at the next call.
void VersionChanged();

}  // namespace fake_registry::internal

#endif  // QUOREL_PLATFORM_NATIVE_REGISTRY_STATE_H
