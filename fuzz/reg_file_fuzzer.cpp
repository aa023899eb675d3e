// The native registry's .reg reader on any bytes, then a walk of whatever
// it loaded through the Reg* functions the library calls: every key opened,
// enumerated, queried, every value read, every handle closed again.
#include <string>

#include "fuzz_support.h"
#include "native_winapi/controls/fake_registry.h"
#include "platform/windows_api.h"

namespace {

constexpr DWORD kNameChars = 260;
constexpr DWORD kDataBytes = 520;
// Each level of a path takes at least two characters of a line; deeper
// than this the input was mostly backslashes, and nothing new is reached.
constexpr unsigned kMaxDepth = 64;

void ReadValues(HKEY key, DWORD values) {
    for (DWORD index = 0; index <= values; ++index) {  // one past the end too
        WCHAR name[kNameChars];
        BYTE data[kDataBytes];
        DWORD name_chars = kNameChars, data_bytes = sizeof(data), type = 0;
        RegEnumValueW(key, index, name, &name_chars, nullptr, &type, data, &data_bytes);
    }
}

void Walk(HKEY key, unsigned depth) {
    WCHAR class_name[kNameChars];
    DWORD class_chars = kNameChars, sub_keys = 0, values = 0;
    if (RegQueryInfoKeyW(key, class_name, &class_chars, nullptr, &sub_keys, nullptr, nullptr,
                         &values, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return;
    ReadValues(key, values);
    WCHAR name[kNameChars];
    for (DWORD index = 0;
         depth < kMaxDepth && RegEnumKeyW(key, index, name, kNameChars) == ERROR_SUCCESS; ++index) {
        HKEY child = nullptr;
        if (RegOpenKeyExW(key, name, 0, KEY_READ, &child) != ERROR_SUCCESS)
            continue;
        Walk(child, depth + 1);
        RegCloseKey(child);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string error;
    const bool loaded = fake_registry::Load(std::string(reinterpret_cast<const char*>(data), size),
                                            "fuzz.reg", &error);
    FUZZ_CHECK(loaded == error.empty());
    FUZZ_CHECK(loaded || error.rfind("fuzz.reg:", 0) == 0);
    Walk(HKEY_LOCAL_MACHINE, 0);
    Walk(HKEY_DYN_DATA, 0);
    FUZZ_CHECK(fake_registry::OpenHandles() == 0);
    fake_registry::Clear();
    return 0;
}
