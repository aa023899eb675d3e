#include "platform/native/registry_state.h"

#include <algorithm>
#include <map>
#include <set>
#include <utility>

#include "platform/native/default_registry.h"
#include "platform/native/fake_registry.h"
#include "platform/native/reg_file_reader.h"

namespace fake_registry::internal {

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
    std::set<std::wstring> fail_open;
    std::set<std::wstring> fail_query;
    std::set<std::pair<std::wstring, std::wstring>> fail_value;
    uint64_t fail_nth = 0;
    uint64_t calls = 0;
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

void Choose(Hives hives) {
    Replace(std::move(hives), Contents::kChosen);
    state().calls = 0;
}

std::wstring CanonicalPath(std::wstring_view path) {
    std::wstring upper = UpperCase(path);
    size_t root_length = std::min(upper.find(kSeparator), upper.size());
    if (upper.compare(0, root_length, kLocalMachineShortName) == 0)
        upper.replace(0, root_length, kLocalMachineName);
    return upper;
}

}  // namespace

LONG BeginCall() {
    State& s = state();
    if (s.contents == Contents::kUnloaded)
        Replace(DefaultHives(), Contents::kDefault);
    ++s.calls;
    return s.calls == s.fail_nth ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
}

bool IsRoot(HKEY handle) { return handle == HKEY_LOCAL_MACHINE || handle == HKEY_DYN_DATA; }

const OpenKey* FindHandle(HKEY handle) {
    State& s = state();
    if (IsRoot(handle))
        return &s.roots[handle == HKEY_LOCAL_MACHINE ? 0 : 1];
    auto found = s.handles.find(HandleId(handle));
    return found == s.handles.end() ? nullptr : &found->second;
}

HKEY AddHandle(Key* key, std::wstring path) {
    State& s = state();
    uintptr_t id = s.next_handle;
    s.next_handle += kHandleStep;
    s.handles.emplace(id, OpenKey{key, std::move(path)});
    return reinterpret_cast<HKEY>(id);
}

void RemoveHandle(HKEY handle) { state().handles.erase(HandleId(handle)); }

std::wstring JoinPath(const std::wstring& parent, std::wstring_view sub_path) {
    return sub_path.empty() ? parent : parent + kSeparator + UpperCase(sub_path);
}

bool OpenFails(const std::wstring& path) { return state().fail_open.count(path) != 0; }

bool QueryFails(const std::wstring& path) { return state().fail_query.count(path) != 0; }

bool ValueFails(const std::wstring& path, std::wstring_view value_name) {
    return state().fail_value.count({path, UpperCase(value_name)}) != 0;
}

void VersionChanged() {
    if (state().contents == Contents::kDefault)
        Replace(Hives{}, Contents::kUnloaded);
}

}  // namespace fake_registry::internal

namespace fake_registry {

using namespace internal;

bool Load(const std::string& bytes, const std::string& name, std::string* error) {
    Hives hives;
    bool loaded = ReadRegFile(bytes, name, &hives, error);
    Choose(loaded ? std::move(hives) : Hives{});
    return loaded;
}

bool LoadFile(const std::string& path, std::string* error) {
    Hives hives;
    bool loaded = ReadRegFileAt(path, &hives, error);
    Choose(loaded ? std::move(hives) : Hives{});
    return loaded;
}

void Clear() { Choose(Hives{}); }

void Reset() {
    State& s = state();
    Replace(Hives{}, Contents::kUnloaded);
    s.fail_open.clear();
    s.fail_query.clear();
    s.fail_value.clear();
    s.fail_nth = 0;
    s.calls = 0;
}

void FailOpen(const std::wstring& key_path) { state().fail_open.insert(CanonicalPath(key_path)); }

void FailQuery(const std::wstring& key_path) { state().fail_query.insert(CanonicalPath(key_path)); }

void FailValue(const std::wstring& key_path, const std::wstring& value_name) {
    state().fail_value.insert({CanonicalPath(key_path), UpperCase(value_name)});
}

void FailNthCall(uint64_t nth) { state().fail_nth = nth; }

uint64_t Calls() { return state().calls; }

int OpenHandles() { return static_cast<int>(state().handles.size()); }

}  // namespace fake_registry
