// The process-wide registry behind the native Reg* functions: the key tree,
// the open handles and the lazily loaded default. The test controls
// (controls/fake_registry.h) replace its contents and hook each call.
#ifndef QUOREL_NATIVE_WINAPI_REGISTRY_STATE_H
#define QUOREL_NATIVE_WINAPI_REGISTRY_STATE_H

#include <string>
#include <string_view>

#include "native_winapi/key_tree.h"
#include "platform/windows_api.h"

namespace native_winapi::registry {

// A key reached through a handle, with its full path in the form failures
// are matched by: upper-cased, the root spelt out (HKEY_LOCAL_MACHINE\...).
struct OpenKey {
    KeyNode* key;
    std::wstring path;
};

// What the test controls add to every call; none by default.
struct CallHooks {
    LONG (*begin)();  // counted calls; ERROR_ACCESS_DENIED fails the call
    bool (*open_fails)(const std::wstring& path);
    bool (*query_fails)(const std::wstring& path);
    bool (*value_fails)(const std::wstring& path, std::wstring_view value_name);
};
void SetCallHooks(const CallHooks* hooks);

// Begins every Reg* call: loads the default registry when none is loaded,
// then gives what the hooks' begin gives (ERROR_SUCCESS without hooks).
LONG BeginCall();

bool IsRoot(HKEY handle);
const OpenKey* FindHandle(HKEY handle);  // a root or an open handle, else null
HKEY AddHandle(KeyNode* key, std::wstring path);
void RemoveHandle(HKEY handle);
size_t OpenHandleCount();

// The full path of sub_path below an open key's path, in OpenKey's form.
std::wstring JoinPath(const std::wstring& parent, std::wstring_view sub_path);
// A key path as a caller writes it (HKLM for HKEY_LOCAL_MACHINE, any letter
// case) in OpenKey's form.
std::wstring CanonicalPath(std::wstring_view path);

bool OpenFails(const std::wstring& path);
bool QueryFails(const std::wstring& path);
bool ValueFails(const std::wstring& path, std::wstring_view value_name);

// New contents, kept until the next Choose or Unload; every open handle
// becomes invalid.
void Choose(Hives hives);
// Back to the default, loaded at the next call; every open handle becomes
// invalid.
void Unload();

// The reported Windows version changed: a default registry chosen for the
// old one is dropped, to be chosen again at the next call.
void VersionChanged();

}  // namespace native_winapi::registry

#endif  // QUOREL_NATIVE_WINAPI_REGISTRY_STATE_H
