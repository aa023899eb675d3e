#include "registry/registry_keys.h"

namespace quorel::registry {

Key::~Key() {
    if (handle_)
        RegCloseKey(handle_);
}

bool Key::Open(HKEY root, const WCHAR* path, REGSAM access) {
    if (RegOpenKeyExW(root, path, 0, access, &handle_) == ERROR_SUCCESS)
        return true;
    handle_ = nullptr;  // a failed open need not leave the handle alone
    return false;
}

bool Key::Exists(HKEY root, const WCHAR* path, REGSAM access) {
    Key key;
    return key.Open(root, path, access);
}

bool Key::Subkey(DWORD index, Text& name) const {
    return RegEnumKeyW(handle_, index, name, kTextChars) == ERROR_SUCCESS;
}

bool Key::Query(DWORD* values, DWORD* max_value_bytes) const {
    Text class_name;
    DWORD class_chars = kTextChars;
    DWORD sub_keys, max_sub_key, max_class, max_value_name, security;
    FILETIME last_write;
    return RegQueryInfoKeyW(handle_, class_name, &class_chars, nullptr, &sub_keys, &max_sub_key,
                            &max_class, values, &max_value_name, max_value_bytes, &security,
                            &last_write) == ERROR_SUCCESS;
}

bool Key::ReadValue(DWORD index, DWORD max_value_bytes, Text& name, ValueData& data) const {
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
