// registry.reg of `quorel snapshot`: exactly the keys and values the
// library's annotation reads for the functions found, copied from the
// registry this process sees, as the library lists them
// (inspect::RegistryReadList). NT family: each of a function's hardware-ID
// keys that exists, its instance subkeys with the values the lookup uses,
// and their Control subkeys. 9x family: the Configuration Manager's PCI
// entries with their HardWareKey, and the static keys they name with
// DeviceDesc and ClassGUID.
#include <set>
#include <vector>

#include "api/inspect.h"
#include "cli.h"
#include "platform/windows_api.h"
#include "snapshot/files.h"

namespace snapshot {

namespace {

constexpr DWORD kNameChars = 260;  // the longest key and value names Windows allows, and more
namespace inspect = quorel::inspect;

struct Value {
    std::wstring name;
    DWORD type;
    std::vector<BYTE> data;
};

struct Key {
    std::wstring path;  // with its root, as regedit names it
    std::vector<Value> values;
};

// An open key, closed when it goes out of scope.
class OpenKey {
public:
    OpenKey(HKEY root, const std::wstring& path) {
        if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &handle_) != ERROR_SUCCESS)
            handle_ = nullptr;
    }
    ~OpenKey() {
        if (handle_)
            RegCloseKey(handle_);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    explicit operator bool() const { return handle_ != nullptr; }

    std::vector<std::wstring> Subkeys() const {
        std::vector<std::wstring> names;
        WCHAR name[kNameChars + 1];
        for (DWORD i = 0; RegEnumKeyW(handle_, i, name, kNameChars + 1) == ERROR_SUCCESS; ++i)
            names.push_back(name);
        return names;
    }

    // The values of the key named in `wanted` (the lookup compares names as
    // they are written), in the registry's order, type and data as stored.
    std::vector<Value> Values(const std::vector<std::wstring>& wanted) const {
        std::vector<Value> values;
        DWORD count = 0, max_bytes = 0, ignored = 0;
        if (RegQueryInfoKeyW(handle_, nullptr, nullptr, nullptr, &ignored, &ignored, &ignored,
                             &count, &ignored, &max_bytes, &ignored, nullptr) != ERROR_SUCCESS)
            return values;
        for (DWORD i = 0; i < count; ++i) {
            WCHAR name[kNameChars + 1];
            DWORD name_chars = kNameChars + 1, type = 0, bytes = max_bytes;
            std::vector<BYTE> data(max_bytes + sizeof(WCHAR));
            if (RegEnumValueW(handle_, i, name, &name_chars, nullptr, &type, data.data(),
                              &bytes) != ERROR_SUCCESS)
                continue;
            data.resize(bytes);
            for (const std::wstring& w : wanted)
                if (name == w)
                    values.push_back({name, type, data});
        }
        return values;
    }

private:
    HKEY handle_ = nullptr;
};

const std::wstring kLocalMachine = L"HKEY_LOCAL_MACHINE\\";
const std::wstring kDynData = L"HKEY_DYN_DATA\\";

// An instance key's data as text: the units up to the first NUL.
std::wstring TextOf(const Value& value) {
    std::wstring text;
    for (size_t i = 0; i + sizeof(WCHAR) <= value.data.size(); i += sizeof(WCHAR)) {
        WCHAR c;
        std::copy(value.data.begin() + i, value.data.begin() + i + sizeof(WCHAR),
                  reinterpret_cast<BYTE*>(&c));
        if (c == 0)
            break;
        text += c;
    }
    return text;
}

void AddNtKeys(std::vector<Key>& keys) {
    const inspect::RegistryReads& reads = inspect::RegistryReadList();
    std::set<std::wstring> taken;
    for (const inspect::Function& f : inspect::Functions())
        for (const std::wstring& id_path : inspect::HardwareIdKeys(f)) {
            OpenKey id_key(HKEY_LOCAL_MACHINE, id_path);
            if (!id_key || !taken.insert(id_path).second)
                continue;
            keys.push_back({kLocalMachine + id_path, {}});
            for (const std::wstring& name : id_key.Subkeys()) {
                const std::wstring path = id_path + L"\\" + name;
                OpenKey instance(HKEY_LOCAL_MACHINE, path);
                if (!instance)
                    continue;
                keys.push_back({kLocalMachine + path, instance.Values(reads.instance_values)});
                const std::wstring subkey = path + L"\\" + reads.instance_subkey;
                if (OpenKey(HKEY_LOCAL_MACHINE, subkey))
                    keys.push_back({kLocalMachine + subkey, {}});
            }
        }
}

void Add9xKeys(std::vector<Key>& keys) {
    const inspect::RegistryReads& reads = inspect::RegistryReadList();
    OpenKey root(HKEY_DYN_DATA, reads.entries);
    if (!root)
        return;
    for (const std::wstring& name : root.Subkeys()) {
        const std::wstring path = reads.entries + L"\\" + name;
        OpenKey entry(HKEY_DYN_DATA, path);
        std::vector<Value> values = entry ? entry.Values({reads.entry_value}) : std::vector<Value>{};
        if (values.empty() || !inspect::IsPciHardwareKey(TextOf(values.front())))
            continue;
        keys.push_back({kDynData + path, values});
        const std::wstring static_path = reads.static_prefix + TextOf(values.front());
        if (OpenKey static_key{HKEY_LOCAL_MACHINE, static_path})
            keys.push_back({kLocalMachine + static_path, static_key.Values(reads.static_values)});
    }
}

// regedit's files are UTF-16LE; WCHAR is 2 bytes on Windows, 4 natively.
void PutText(std::string& out, const std::wstring& text) {
    for (WCHAR c : text) {
        uint32_t code = static_cast<uint32_t>(c);
        auto unit = [&out](uint32_t u) {
            out += static_cast<char>(u & 0xFF);
            out += static_cast<char>(u >> 8 & 0xFF);
        };
        if (code > 0xFFFF) {
            unit(0xD800 + ((code - 0x10000) >> 10));
            unit(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            unit(code);
        }
    }
}

bool IsTextType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

// The data as a .reg file holds it: text types in UTF-16LE, whatever WCHAR is.
std::vector<BYTE> FileBytes(const Value& value) {
    if (!IsTextType(value.type))
        return value.data;
    std::string utf16;
    for (size_t i = 0; i + sizeof(WCHAR) <= value.data.size(); i += sizeof(WCHAR)) {
        WCHAR c;
        std::copy(value.data.begin() + i, value.data.begin() + i + sizeof(WCHAR),
                  reinterpret_cast<BYTE*>(&c));
        PutText(utf16, std::wstring(1, c));
    }
    return std::vector<BYTE>(utf16.begin(), utf16.end());
}

std::wstring Quoted(const std::wstring& text) {
    std::wstring quoted = L"\"";
    for (WCHAR c : text) {
        if (c == L'\\' || c == L'"')
            quoted += L'\\';
        quoted += c;
    }
    return quoted + L"\"";
}

// "name"="text" for a plain string without NULs inside, hex(N):.. else.
std::wstring ValueLine(const Value& value) {
    std::wstring line = Quoted(value.name) + L"=";
    std::wstring text = TextOf(value);
    std::vector<BYTE> bytes = FileBytes(value);
    if (value.type == REG_SZ && bytes.size() <= (text.size() + 1) * 2)
        return line + Quoted(text);
    std::string hex = value.type == REG_BINARY ? "hex:" : "hex(" + cli::Hex(value.type, 1) + "):";
    for (size_t i = 0; i < bytes.size(); ++i)
        hex += (i ? "," : "") + cli::Hex(bytes[i], 2);
    line.append(hex.begin(), hex.end());
    return line;
}

}  // namespace

std::string RegistryBytes() {
    std::vector<Key> keys;
    if (inspect::NineXRegistry())
        Add9xKeys(keys);
    else
        AddNtKeys(keys);
    std::wstring text = L"Windows Registry Editor Version 5.00\r\n";
    for (const Key& key : keys) {
        text += L"\r\n[" + key.path + L"]\r\n";
        for (const Value& value : key.values)
            text += ValueLine(value) + L"\r\n";
    }
    std::string bytes = "\xFF\xFE";
    PutText(bytes, text);
    return bytes;
}

}  // namespace snapshot
