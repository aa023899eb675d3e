// Registry keys as the lookups use them: opened, walked and closed within
// one call, every value read into the fixed buffers of registry_text.h.
#ifndef QUOREL_REGISTRY_KEY_HANDLE_H
#define QUOREL_REGISTRY_KEY_HANDLE_H

#include "platform/windows_api.h"
#include "registry/registry_text.h"

namespace quorel::registry {

// An open key, closed when it goes out of scope.
class KeyHandle {
public:
    KeyHandle() = default;
    ~KeyHandle();
    KeyHandle(const KeyHandle&) = delete;
    KeyHandle& operator=(const KeyHandle&) = delete;

    // RegOpenKeyExW(root, path, 0, access); false when it fails.
    bool Open(HKEY root, const WCHAR* path, REGSAM access);
    // True when the key at root\path opens; it is closed again at once.
    static bool Exists(HKEY root, const WCHAR* path, REGSAM access);
    // The name of subkey `index`; false when RegEnumKeyW fails (normally:
    // no more subkeys).
    bool Subkey(DWORD index, Text& name) const;

    // Calls visit(name, text) for each value of the key, in the registry's
    // order, with the value's data taken as text. A failed query reads no
    // value; a value that cannot be read (also one whose data is larger than
    // the buffer) is skipped. Neither ends anything but this key's walk.
    template <typename Visit>
    void ForEachValue(Visit visit) const {
        DWORD values = 0, max_bytes = 0;
        if (!Query(&values, &max_bytes))
            return;
        Text name;
        ValueData data;
        for (DWORD index = 0; index < values; ++index)
            if (ReadValue(index, max_bytes, name, data))
                visit(static_cast<const WCHAR*>(name), data.text);
    }

private:
    bool Query(DWORD* values, DWORD* max_value_bytes) const;
    bool ReadValue(DWORD index, DWORD max_value_bytes, Text& name, ValueData& data) const;

    HKEY handle_ = nullptr;
};

}  // namespace quorel::registry

#endif  // QUOREL_REGISTRY_KEY_HANDLE_H
