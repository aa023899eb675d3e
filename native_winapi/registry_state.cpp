#include "native_winapi/registry_state.h"

#include <algorithm>
#include <map>
#include <utility>

#include "native_winapi/default_registry.h"

namespace native_winapi::registry {

namespace {

// Handles as Windows hands them out: small multiples of 4, far below the
// roots' 0x8000000x. Never reused, so a closed handle stays invalid.
constexpr uintptr_t kFirstHandle = 0x100;
constexpr uintptr_t kHandleStep = 4;

enum class Contents {
    kUnloaded,  // the default is loaded at the next call
    kDefault,   // the default for the version reported when it was loaded
    kChosen,    // what a test loaded or cleared
};

struct State {
    State() = default;
    State(const State&) = delete;

    Hives hives;
    OpenKey roots[2] = {{&hives.local_machine, kLocalMachineName}, {&hives.dyn_data, kDynDataName}};
    Contents contents = Contents::kUnloaded;
    std::map<uintptr_t, OpenKey> handles;  // open handles, roots not included
    uintptr_t next_handle = kFirstHandle;
    const CallHooks* hooks = nullptr;
};

State& state() {
    static State s;
    return s;
}

uintptr_t HandleId(HKEY handle) { return reinterpret_cast<uintptr_t>(handle); }

// New contents; handles into the old ones become invalid.
void Replace(Hives hives, Contents contents) {
    State& s = state();
    s.hives = std::move(hives);
    s.contents = contents;
    s.handles.clear();
}

}  // namespace

void SetCallHooks(const CallHooks* hooks) { state().hooks = hooks; }

LONG BeginCall() {
    State& s = state();
    if (s.contents == Contents::kUnloaded)
        Replace(DefaultHives(), Contents::kDefault);
    return s.hooks ? s.hooks->begin() : ERROR_SUCCESS;
}

bool IsRoot(HKEY handle) { return handle == HKEY_LOCAL_MACHINE || handle == HKEY_DYN_DATA; }

const OpenKey* FindHandle(HKEY handle) {
    State& s = state();
    if (IsRoot(handle))
        return &s.roots[handle == HKEY_LOCAL_MACHINE ? 0 : 1];
    auto found = s.handles.find(HandleId(handle));
    return found == s.handles.end() ? nullptr : &found->second;
}

HKEY AddHandle(KeyNode* key, std::wstring path) {
    State& s = state();
    uintptr_t id = s.next_handle;
    s.next_handle += kHandleStep;
    s.handles.emplace(id, OpenKey{key, std::move(path)});
    return reinterpret_cast<HKEY>(id);
}

void RemoveHandle(HKEY handle) { state().handles.erase(HandleId(handle)); }

size_t OpenHandleCount() { return state().handles.size(); }

std::wstring JoinPath(const std::wstring& parent, std::wstring_view sub_path) {
    return sub_path.empty() ? parent : parent + kSeparator + UpperCase(sub_path);
}

std::wstring CanonicalPath(std::wstring_view path) {
    std::wstring upper = UpperCase(path);
    size_t root_length = std::min(upper.find(kSeparator), upper.size());
    if (upper.compare(0, root_length, kLocalMachineShortName) == 0)
        upper.replace(0, root_length, kLocalMachineName);
    return upper;
}

bool OpenFails(const std::wstring& path) {
    const CallHooks* hooks = state().hooks;
    return hooks && hooks->open_fails(path);
}

bool QueryFails(const std::wstring& path) {
    const CallHooks* hooks = state().hooks;
    return hooks && hooks->query_fails(path);
}

bool ValueFails(const std::wstring& path, std::wstring_view value_name) {
    const CallHooks* hooks = state().hooks;
    return hooks && hooks->value_fails(path, value_name);
}

void Choose(Hives hives) { Replace(std::move(hives), Contents::kChosen); }

void Unload() { Replace(Hives{}, Contents::kUnloaded); }

void VersionChanged() {
    if (state().contents == Contents::kDefault)
        Unload();
}

}  // namespace native_winapi::registry
