// The in-process registry's data: a tree of keys, each with subkeys and
// values. Names are kept as written and found case-insensitively, as
// Windows does.
#ifndef QUOREL_NATIVE_WINAPI_KEY_TREE_H
#define QUOREL_NATIVE_WINAPI_KEY_TREE_H

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/windows_api.h"

namespace native_winapi::registry {

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

class KeyNode {
public:
    explicit KeyNode(std::wstring name) : name_(std::move(name)) {}

    const std::wstring& name() const { return name_; }
    KeyNode* Find(std::wstring_view name);      // a direct subkey, or null
    KeyNode& Child(std::wstring_view name);     // a direct subkey, made if missing
    void RemoveChild(std::wstring_view name);
    size_t SubkeyCount() const { return subkeys_.size(); }
    const KeyNode* SubkeyAt(size_t index) const;  // in Windows' order, or null
    size_t LongestSubkeyName() const;         // in characters

    // Replaces a value of the same name in its place, else appends: values
    // enumerate in the order they were first set.
    void SetValue(Value value);
    void RemoveValue(std::wstring_view name);
    const std::vector<Value>& values() const { return values_; }

private:
    std::wstring name_;
    std::map<std::wstring, std::unique_ptr<KeyNode>> subkeys_;  // by upper-cased name
    std::vector<Value> values_;
};

// The key at a backslash-separated path below `key` (an empty path is the
// key itself); null when a part is missing or empty.
KeyNode* FindPath(KeyNode* key, std::wstring_view path);

// The parts of the text between separators, empty parts included.
std::vector<std::wstring_view> Split(std::wstring_view text, wchar_t separator);

// The two roots the library reads.
struct Hives {
    KeyNode local_machine{kLocalMachineName};
    KeyNode dyn_data{kDynDataName};

    // The root named (HKEY_LOCAL_MACHINE, HKLM or HKEY_DYN_DATA, in any
    // letter case), or null.
    KeyNode* Root(std::wstring_view name);
};

}  // namespace native_winapi::registry

#endif  // QUOREL_NATIVE_WINAPI_KEY_TREE_H
