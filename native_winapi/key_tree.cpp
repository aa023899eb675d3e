#include "native_winapi/key_tree.h"

#include <algorithm>
#include <iterator>

namespace native_winapi::registry {

namespace {

constexpr wchar_t kLatin1Lower = 0xE0;  // à; 0xE0..0xFE fold to 0xC0..0xDE
constexpr wchar_t kLatin1LowerEnd = 0xFE;
constexpr wchar_t kDivisionSign = 0xF7;  // the one non-letter in that range
constexpr wchar_t kCaseOffset = L'a' - L'A';

wchar_t Upper(wchar_t c) {
    bool ascii = c >= L'a' && c <= L'z';
    bool latin1 = c >= kLatin1Lower && c <= kLatin1LowerEnd && c != kDivisionSign;
    return ascii || latin1 ? static_cast<wchar_t>(c - kCaseOffset) : c;
}

}  // namespace

std::wstring UpperCase(std::wstring_view name) {
    std::wstring upper(name);
    for (wchar_t& c : upper)
        c = Upper(c);
    return upper;
}

KeyNode* KeyNode::Find(std::wstring_view name) {
    auto found = subkeys_.find(UpperCase(name));
    return found == subkeys_.end() ? nullptr : found->second.get();
}

KeyNode& KeyNode::Child(std::wstring_view name) {
    std::unique_ptr<KeyNode>& child = subkeys_[UpperCase(name)];
    if (!child)
        child = std::make_unique<KeyNode>(std::wstring(name));
    return *child;
}

void KeyNode::RemoveChild(std::wstring_view name) { subkeys_.erase(UpperCase(name)); }

const KeyNode* KeyNode::SubkeyAt(size_t index) const {
    if (index >= subkeys_.size())
        return nullptr;
    return std::next(subkeys_.begin(), static_cast<std::ptrdiff_t>(index))->second.get();
}

size_t KeyNode::LongestSubkeyName() const {
    size_t longest = 0;
    for (const auto& entry : subkeys_)
        longest = std::max(longest, entry.second->name().size());
    return longest;
}

void KeyNode::SetValue(Value value) {
    std::wstring upper = UpperCase(value.name);
    for (Value& existing : values_) {
        if (UpperCase(existing.name) == upper) {
            existing = std::move(value);
            return;
        }
    }
    values_.push_back(std::move(value));
}

void KeyNode::RemoveValue(std::wstring_view name) {
    std::wstring upper = UpperCase(name);
    for (auto it = values_.begin(); it != values_.end(); ++it) {
        if (UpperCase(it->name) == upper) {
            values_.erase(it);
            return;
        }
    }
}

std::vector<std::wstring_view> Split(std::wstring_view text, wchar_t separator) {
    std::vector<std::wstring_view> parts;
    while (true) {
        size_t end = text.find(separator);
        parts.push_back(text.substr(0, end));
        if (end == std::wstring_view::npos)
            return parts;
        text.remove_prefix(end + 1);
    }
}

KeyNode* FindPath(KeyNode* key, std::wstring_view path) {
    if (path.empty())
        return key;
    for (std::wstring_view part : Split(path, kSeparator)) {
        if (part.empty() || !(key = key->Find(part)))
            return nullptr;
    }
    return key;
}

KeyNode* Hives::Root(std::wstring_view name) {
    std::wstring upper = UpperCase(name);
    if (upper == kLocalMachineName || upper == kLocalMachineShortName)
        return &local_machine;
    return upper == kDynDataName ? &dyn_data : nullptr;
}

}  // namespace native_winapi::registry
