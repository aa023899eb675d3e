// The registry's test controls: other contents, injected failures, call
// and handle counts. Linked into a program, they hook every registry call.
#include <set>
#include <utility>

#include "native_winapi/controls/fake_registry.h"
#include "native_winapi/reg_file_reader.h"
#include "native_winapi/registry_state.h"

namespace {

using namespace native_winapi::registry;

struct Faults {
    std::set<std::wstring> fail_open;
    std::set<std::wstring> fail_query;
    std::set<std::pair<std::wstring, std::wstring>> fail_value;
    uint64_t fail_nth = 0;
    uint64_t calls = 0;
};

Faults& faults() {
    static Faults f;
    return f;
}

LONG CountCall() {
    Faults& f = faults();
    ++f.calls;
    return f.calls == f.fail_nth ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
}

bool OpenListed(const std::wstring& path) { return faults().fail_open.count(path) != 0; }

bool QueryListed(const std::wstring& path) { return faults().fail_query.count(path) != 0; }

bool ValueListed(const std::wstring& path, std::wstring_view value_name) {
    return faults().fail_value.count({path, UpperCase(value_name)}) != 0;
}

constexpr CallHooks kHooks = {CountCall, OpenListed, QueryListed, ValueListed};
[[maybe_unused]] const bool kInstalled = (SetCallHooks(&kHooks), true);

void ChooseCounted(Hives hives) {
    Choose(std::move(hives));
    faults().calls = 0;
}

}  // namespace

namespace fake_registry {

bool Load(const std::string& bytes, const std::string& name, std::string* error) {
    Hives hives;
    bool loaded = native_winapi::registry::ReadRegFile(bytes, name, &hives, error);
    ChooseCounted(loaded ? std::move(hives) : Hives{});
    return loaded;
}

bool LoadFile(const std::string& path, std::string* error) {
    Hives hives;
    bool loaded = ReadRegFileAt(path, &hives, error);
    ChooseCounted(loaded ? std::move(hives) : Hives{});
    return loaded;
}

void Clear() { ChooseCounted(Hives{}); }

void Reset() {
    Unload();
    faults() = Faults{};
}

void FailOpen(const std::wstring& key_path) { faults().fail_open.insert(CanonicalPath(key_path)); }

void FailQuery(const std::wstring& key_path) { faults().fail_query.insert(CanonicalPath(key_path)); }

void FailValue(const std::wstring& key_path, const std::wstring& value_name) {
    faults().fail_value.insert({CanonicalPath(key_path), UpperCase(value_name)});
}

void FailNthCall(uint64_t nth) { faults().fail_nth = nth; }

uint64_t Calls() { return faults().calls; }

int OpenHandles() { return static_cast<int>(OpenHandleCount()); }

}  // namespace fake_registry
