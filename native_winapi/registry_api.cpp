// The advapi32 registry functions the library calls, over the in-process
// registry, with the Windows behaviour the library can observe.
#include <algorithm>
#include <cstring>

#include "native_winapi/registry_state.h"
#include "platform/windows_api.h"

namespace {

using namespace native_winapi::registry;

void Put(DWORD* out, size_t value) {
    if (out)
        *out = static_cast<DWORD>(value);
}

// Copies the name and its NUL when it fits `chars` characters.
bool CopyName(const std::wstring& name, WCHAR* buffer, DWORD chars) {
    if (name.size() + 1 > chars)
        return false;
    std::copy(name.begin(), name.end(), buffer);
    buffer[name.size()] = 0;
    return true;
}

// The start of every call: counts it and finds the key the handle names.
LONG Start(HKEY key, const OpenKey** open) {
    LONG status = BeginCall();
    if (status != ERROR_SUCCESS)
        return status;
    *open = FindHandle(key);
    return *open ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

size_t LongestValueName(const KeyNode& key) {
    size_t longest = 0;
    for (const Value& value : key.values())
        longest = std::max(longest, value.name.size());
    return longest;
}

size_t LargestValueData(const KeyNode& key) {
    size_t largest = 0;
    for (const Value& value : key.values())
        largest = std::max(largest, value.data.size());
    return largest;
}

}  // namespace

LONG WINAPI RegOpenKeyExW(HKEY key, const WCHAR* sub_key, DWORD /*options*/, REGSAM /*access*/,
                          HKEY* result) {
    if (result)
        *result = nullptr;  // as Windows leaves it on failure
    const OpenKey* parent = nullptr;
    if (LONG status = Start(key, &parent); status != ERROR_SUCCESS)
        return status;
    if (!result)
        return ERROR_INVALID_PARAMETER;
    std::wstring_view path = sub_key ? sub_key : L"";
    KeyNode* found = FindPath(parent->key, path);
    if (!found)
        return ERROR_FILE_NOT_FOUND;
    std::wstring full_path = JoinPath(parent->path, path);
    if (OpenFails(full_path))
        return ERROR_ACCESS_DENIED;
    *result = AddHandle(found, std::move(full_path));
    return ERROR_SUCCESS;
}

LONG WINAPI RegEnumKeyW(HKEY key, DWORD index, WCHAR* name, DWORD name_chars) {
    const OpenKey* open = nullptr;
    if (LONG status = Start(key, &open); status != ERROR_SUCCESS)
        return status;
    const KeyNode* subkey = open->key->SubkeyAt(index);
    if (!subkey)
        return ERROR_NO_MORE_ITEMS;
    if (!name)
        return ERROR_INVALID_PARAMETER;
    return CopyName(subkey->name(), name, name_chars) ? ERROR_SUCCESS : ERROR_MORE_DATA;
}

LONG WINAPI RegQueryInfoKeyW(HKEY key, WCHAR* class_name, DWORD* class_chars, DWORD* reserved,
                             DWORD* sub_keys, DWORD* max_sub_key_chars, DWORD* max_class_chars,
                             DWORD* values, DWORD* max_value_name_chars,
                             DWORD* max_value_bytes, DWORD* security_bytes,
                             FILETIME* last_write) {
    const OpenKey* open = nullptr;
    if (LONG status = Start(key, &open); status != ERROR_SUCCESS)
        return status;
    if (reserved || (class_name && !class_chars))
        return ERROR_INVALID_PARAMETER;
    if (QueryFails(open->path))
        return ERROR_ACCESS_DENIED;
    if (class_name && !CopyName(std::wstring(), class_name, *class_chars))
        return ERROR_MORE_DATA;
    const KeyNode& info = *open->key;
    Put(class_chars, 0);  // keys made from .reg files have no class
    Put(sub_keys, info.SubkeyCount());
    Put(max_sub_key_chars, info.LongestSubkeyName());
    Put(max_class_chars, 0);
    Put(values, info.values().size());
    Put(max_value_name_chars, LongestValueName(info));
    Put(max_value_bytes, LargestValueData(info));
    Put(security_bytes, 0);
    if (last_write)
        *last_write = FILETIME{0, 0};
    return ERROR_SUCCESS;
}

// Name capacity in characters with the NUL, data capacity in bytes. When
// either does not fit: ERROR_MORE_DATA with the type and the data's size,
// and neither buffer touched.
LONG WINAPI RegEnumValueW(HKEY key, DWORD index, WCHAR* name, DWORD* name_chars,
                          DWORD* reserved, DWORD* type, BYTE* data, DWORD* data_bytes) {
    const OpenKey* open = nullptr;
    if (LONG status = Start(key, &open); status != ERROR_SUCCESS)
        return status;
    if (!name || !name_chars || reserved || (data && !data_bytes))
        return ERROR_INVALID_PARAMETER;
    if (index >= open->key->values().size())
        return ERROR_NO_MORE_ITEMS;
    const Value& value = open->key->values()[index];
    if (ValueFails(open->path, value.name))
        return ERROR_ACCESS_DENIED;
    Put(type, value.type);
    bool data_fits = !data || value.data.size() <= *data_bytes;
    Put(data_bytes, value.data.size());
    if (!data_fits || value.name.size() + 1 > *name_chars)
        return ERROR_MORE_DATA;
    CopyName(value.name, name, *name_chars);
    Put(name_chars, value.name.size());
    if (data && !value.data.empty())
        std::memcpy(data, value.data.data(), value.data.size());
    return ERROR_SUCCESS;
}

LONG WINAPI RegCloseKey(HKEY key) {
    LONG status = BeginCall();  // an injected failure still releases the handle
    if (IsRoot(key))
        return status;
    if (!FindHandle(key))
        return ERROR_INVALID_HANDLE;
    RemoveHandle(key);
    return status;
}
