#include "registry/key_handle.h"

namespace quorel::registry {

KeyHandle::~KeyHandle() {
    if (handle_)
        RegCloseKey(handle_);
}

bool KeyHandle::Open(HKEY root, const WCHAR* path, REGSAM access) {
    if (RegOpenKeyExW(root, path, 0, access, &handle_) == ERROR_SUCCESS)
        return true;
    handle_ = nullptr;  // a failed open need not leave the handle alone
    return false;
}

bool KeyHandle::Exists(HKEY root, const WCHAR* path, REGSAM access) {
    KeyHandle key;
    return key.Open(root, path, access);
}

bool KeyHandle::Subkey(DWORD index, Text& name) const {
    return RegEnumKeyW(handle_, index, name, kTextChars) == ERROR_SUCCESS;
}

bool KeyHandle::Query(DWORD* values, DWORD* max_value_bytes) const {
    Text class_name;
    DWORD class_chars = kTextChars;
    DWORD sub_keys, max_sub_key, max_class, max_value_name, security;
    FILETIME last_write;
    return RegQueryInfoKeyW(handle_, class_name, &class_chars, nullptr, &sub_keys, &max_sub_key,
                            &max_class, values, &max_value_name, max_value_bytes, &security,
                            &last_write) == ERROR_SUCCESS;
}

bool KeyHandle::ReadValue(DWORD index, DWORD max_value_bytes, Text& name, ValueData& data) const {
    DWORD name_chars = kTextChars;
    DWORD type;
    DWORD bytes = ValueData::Capacity(max_value_bytes);
    data.Clear();
    if (RegEnumValueW(handle_, index, name, &name_chars, nullptr, &type,
                      reinterpret_cast<BYTE*>(data.text), &bytes) != ERROR_SUCCESS)
        return false;
    data.Terminate(bytes);
    return true;
}

}  // namespace quorel::registry
