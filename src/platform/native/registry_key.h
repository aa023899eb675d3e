// The in-process registry's data: a tree of keys, each with subkeys and
// values. Names are kept as written and found case-insensitively, as
// Windows does.
#ifndef QUOREL_PLATFORM_NATIVE_REGISTRY_KEY_H
#define QUOREL_PLATFORM_NATIVE_REGISTRY_KEY_H

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/windows_api.h"

namespace fake_registry::internal {

constexpr wchar_t kSeparator = L'\\';
constexpr wchar_t kLocalMachineName[] = L"HKEY_LOCAL_MACHINE";
constexpr wchar_t kLocalMachineShortName[] = L"HKLM";
constexpr wchar_t kDynDataName[] = L"HKEY_DYN_DATA";

// Windows compares names by their upper-cased forms and enumerates subkeys
// in that order. This folds ASCII and Latin-1 letters; names here are ASCII.
std::wstring UpperCase(std::wstring_view name);

struct Value {
    std::wstring name;
    DWORD type = REG_NONE;
    // The bytes RegEnumValueW hands out. Text (REG_SZ, REG_EXPAND_SZ,
    // REG_MULTI_SZ) is kept as native WCHAR units, sizeof(WCHAR) bytes each.
    std::vector<BYTE> data;
};

class Key {
public:
    explicit Key(std::wstring name) : name_(std::move(name)) {}

    const std::wstring& name() const { return name_; }
    Key* Find(std::wstring_view name);      // a direct subkey, or null
    Key& Child(std::wstring_view name);     // a direct subkey, made if missing
    void RemoveChild(std::wstring_view name);
    size_t SubkeyCount() const { return subkeys_.size(); }
    const Key* SubkeyAt(size_t index) const;  // in Windows' order, or null
    size_t LongestSubkeyName() const;         // in characters

    // Replaces a value of the same name in its place, else appends: values
    // enumerate in the order they were first set.
    void SetValue(Value value);
    void RemoveValue(std::wstring_view name);
    const std::vector<Value>& values() const { return values_; }

private:
    std::wstring name_;
    std::map<std::wstring, std::unique_ptr<Key>> subkeys_;  // by upper-cased name
    std::vector<Value> values_;
};

// The key at a backslash-separated path below `key` (an empty path is the
// key itself); null when a part is missing or empty.
Key* FindPath(Key* key, std::wstring_view path);

// The parts of the text between separators, empty parts included.
std::vector<std::wstring_view> Split(std::wstring_view text, wchar_t separator);

// The two roots the library reads.
struct Hives {
    Key local_machine{kLocalMachineName};
    Key dyn_data{kDynDataName};

    // The root named (HKEY_LOCAL_MACHINE, HKLM or HKEY_DYN_DATA, in any
    // letter case), or null.
    Key* Root(std::wstring_view name);
};

}  // namespace fake_registry::internal

#endif  // QUOREL_PLATFORM_NATIVE_REGISTRY_KEY_H
