#include "dll_facts.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "process_env/process_env.h"
#include "process_env/utf8.h"

namespace dll_facts {

namespace {

constexpr long kPeOffsetField = 0x3C;     // e_lfanew in the DOS header
constexpr char kPeSignature[4] = {'P', 'E', 0, 0};
constexpr DWORD kPathChars = 32768;              // the longest path Windows takes

using quorel::process_env::OpenFile;

std::string Utf8(const std::wstring& text) { return quorel::process_env::Utf8FromWide(text); }
std::wstring Wide(const std::string& text) { return quorel::process_env::WideFromUtf8(text); }

// A Windows call that fills a buffer of `size` characters and returns the
// length, as GetSystemDirectoryW does.
template <typename Call>
std::wstring Folder(Call call) {
    std::wstring buffer(kPathChars, L'\0');
    const UINT length = call(&buffer[0], kPathChars);
    buffer.resize(length < kPathChars ? length : 0);
    return buffer;
}

std::wstring ProgramFolder() {
    std::wstring path = Folder([](wchar_t* b, DWORD n) { return GetModuleFileNameW(nullptr, b, n); });
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"" : path.substr(0, slash);
}

void AddFolder(std::vector<std::string>& folders, const std::wstring& folder) {
    if (folder.empty())
        return;
    const std::string text = Utf8(folder);
    for (const std::string& f : folders)
        if (CompareStringOrdinal(Wide(f).c_str(), -1, folder.c_str(), -1, TRUE) == CSTR_EQUAL)
            return;
    folders.push_back(text);
}

uint16_t ReadMachine(const std::string& path) {
    FILE* in = OpenFile(path, "rb");
    if (!in)
        return 0;
    uint32_t pe = 0;
    char signature[sizeof(kPeSignature)] = {};
    uint16_t machine = 0;
    const bool read = std::fseek(in, kPeOffsetField, SEEK_SET) == 0 &&
                      std::fread(&pe, sizeof(pe), 1, in) == 1 &&
                      std::fseek(in, static_cast<long>(pe), SEEK_SET) == 0 &&
                      std::fread(signature, sizeof(signature), 1, in) == 1 &&
                      std::fread(&machine, sizeof(machine), 1, in) == 1;
    std::fclose(in);
    return read && std::equal(signature, signature + sizeof(signature), kPeSignature) ? machine : 0;
}

void ReadVersion(DllFile& file) {
    const std::wstring path = Wide(file.path);
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    std::vector<char> data(size);
    if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, data.data()))
        return;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed) {
        char text[48];
        std::snprintf(text, sizeof(text), "%lu.%lu.%lu.%lu", fixed->dwFileVersionMS >> 16,
                      fixed->dwFileVersionMS & 0xFFFF, fixed->dwFileVersionLS >> 16,
                      fixed->dwFileVersionLS & 0xFFFF);
        file.version = text;
    }
    WORD* translation = nullptr;  // language, code page
    if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translation), &length) || length < 2 * sizeof(WORD))
        return;
    wchar_t key[64];
    swprintf(key, sizeof(key) / sizeof(key[0]), L"\\StringFileInfo\\%04x%04x\\FileDescription",
             translation[0], translation[1]);
    wchar_t* description = nullptr;
    if (VerQueryValueW(data.data(), key, reinterpret_cast<void**>(&description), &length) && description)
        file.description = Utf8(description);
}

}  // namespace

std::vector<std::string> SearchFolders() {
    std::vector<std::string> folders;
    AddFolder(folders, ProgramFolder());
    AddFolder(folders, Folder([](wchar_t* b, UINT n) { return GetSystemDirectoryW(b, n); }));
    const std::wstring windows = Folder([](wchar_t* b, UINT n) { return GetWindowsDirectoryW(b, n); });
    AddFolder(folders, windows.empty() ? L"" : windows + L"\\System");
    AddFolder(folders, windows);
    AddFolder(folders, Folder([](wchar_t* b, DWORD n) { return GetCurrentDirectoryW(n, b); }));
    const std::wstring path = Folder([](wchar_t* b, DWORD n) { return GetEnvironmentVariableW(L"PATH", b, n); });
    for (size_t start = 0; start <= path.size();) {
        const size_t end = path.find(L';', start);
        AddFolder(folders, path.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
        if (end == std::wstring::npos)
            break;
        start = end + 1;
    }
    return folders;
}

std::vector<DllFile> FindOnSearchPath(const std::string& name) {
    std::vector<DllFile> found;
    for (const std::string& folder : SearchFolders()) {
        const std::string path = folder + "\\" + name;
        const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            found.push_back(Describe(path));
    }
    return found;
}

DllFile Describe(const std::string& path) {
    DllFile file;
    file.path = path;
    file.machine = ReadMachine(path);
    ReadVersion(file);
    return file;
}

uint16_t ProcessMachine() { return sizeof(void*) == 8 ? kMachineX64 : kMachineX86; }

std::string MachineText(uint16_t machine) {
    switch (machine) {
    case kMachineX64:
        return "x64 (64-bit)";
    case kMachineX86:
        return "x86 (32-bit)";
    case 0:
        return "not a PE image";
    }
    char text[24];
    std::snprintf(text, sizeof(text), "machine 0x%04x", machine);
    return text;
}

std::string ModulePath(void* module) {
    return Utf8(Folder([module](wchar_t* b, DWORD n) {
        return GetModuleFileNameW(static_cast<HMODULE>(module), b, n);
    }));
}

}  // namespace dll_facts
