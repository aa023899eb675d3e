#include "process_env/process_env.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <vector>

#include "process_env/utf8.h"
#include "settings/settings.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <cstdlib>
#include <sys/stat.h>
#endif

namespace quorel::process_env {

namespace {

// An lspci -vvxxxx line of 16 bytes takes 54 characters, so a function's
// 4 KiB of configuration space 14 KB and its decoded capabilities a few
// more: under 20 KB. The largest servers show some 3,000 functions (the
// processors' own on a bus per socket), 60 MB at most; a registry export
// of them is smaller. The limit leaves room for that, also written as
// UTF-16, and still refuses /dev/zero or a disk image named by mistake.
constexpr size_t kMaxFileMiB = 128;
constexpr size_t kMaxFileSize = kMaxFileMiB << 20;
constexpr size_t kChunkSize = 64 << 10;
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

bool IsFolder(const std::string& path) {
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesW(WideFromUtf8(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
#else
    struct stat status;
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
#endif
}

std::string TooLarge(long long size) {
    const std::string limit = "the limit is " + std::to_string(kMaxFileMiB) + " MiB";
    if (size < 0)
        return "it is too large (" + limit + ")";
    return "it is too large (" + std::to_string((size + (1 << 20) - 1) >> 20) + " MiB; " + limit + ")";
}

// The file's size when it can be told without reading it (not a pipe);
// -1 otherwise. Leaves the file at its start.
long long SizeOf(FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0)
        return -1;
    const long size = std::ftell(file);
    return std::fseek(file, 0, SEEK_SET) == 0 ? size : -1;
}

bool ReadBytes(const std::string& path, std::string* bytes, std::string* why) {
    bytes->clear();
    if (IsFolder(path)) {
        *why = "it is a folder";
        return false;
    }
    std::unique_ptr<FILE, int (*)(FILE*)> file(OpenFile(path, "rb"), std::fclose);
    if (!file) {
        *why = std::strerror(errno);
        return false;
    }
    const long long size = SizeOf(file.get());
    if (size > static_cast<long long>(kMaxFileSize)) {
        *why = TooLarge(size);
        return false;
    }
    std::vector<char> chunk(kChunkSize);
    size_t got = 0;
    while ((got = std::fread(chunk.data(), 1, chunk.size(), file.get())) > 0) {
        if (bytes->size() + got > kMaxFileSize) {
            *why = TooLarge(-1);
            return false;
        }
        bytes->append(chunk.data(), got);
    }
    if (!std::ferror(file.get()))
        return true;
    *why = std::strerror(errno);
    return false;
}

// UTF-8 with its byte-order mark, or UTF-16 with one (what Windows
// PowerShell's > writes), as plain UTF-8; anything else as it is.
void DropEncoding(std::string* text) {
    const std::string_view view = *text;
    if (view.substr(0, kUtf8Mark.size()) == kUtf8Mark)
        text->erase(0, kUtf8Mark.size());
    else if (view.substr(0, kUtf16LeMark.size()) == kUtf16LeMark)
        *text = Utf8FromUtf16(view.substr(kUtf16LeMark.size()), false);
    else if (view.substr(0, kUtf16BeMark.size()) == kUtf16BeMark)
        *text = Utf8FromUtf16(view.substr(kUtf16BeMark.size()), true);
}

// What a snapshot folder lacks, or "".
std::string FolderProblem(const std::string& folder) {
    namespace fs = std::filesystem;
    const std::string head = std::string(settings::kSimSnapshot) + "=" + folder + ": ";
    const std::string advice = "; set it to a folder that `quorel snapshot DIR` wrote";
    std::error_code code;
    const fs::path path = fs::u8path(folder);
    const fs::file_status status = fs::status(path, code);
    if (status.type() == fs::file_type::not_found)
        return head + "no such folder" + advice;
    if (code)
        return head + "cannot be read: " + code.message() + advice;
    if (status.type() != fs::file_type::directory)
        return head + "not a folder" + advice + " (a machine file alone is replayed with " +
               settings::kSimMachine + ")";
    if (!fs::exists(path / settings::kSnapshotAboutFile, code))
        return head + "not a snapshot: it has no " + settings::kSnapshotAboutFile + advice;
    return "";
}

}  // namespace

std::string GetEnvironment(const char* name) {
#ifdef _WIN32
    // Not getenv: the C runtime keeps its own copy of the environment, which
    // does not see SetEnvironmentVariable calls made after it started. The
    // wide form: a path outside the ANSI code page survives it.
    const std::wstring wide_name = WideFromUtf8(name);
    DWORD size = GetEnvironmentVariableW(wide_name.c_str(), nullptr, 0);
    if (size == 0)
        return std::string();
    std::wstring value(size, L'\0');
    DWORD length = GetEnvironmentVariableW(wide_name.c_str(), &value[0], size);
    value.resize(length < size ? length : 0);
    return Utf8FromWide(value);
#else
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
#endif
}

FILE* OpenFile(const std::string& path, const char* mode) {
#ifdef _WIN32
    return _wfopen(WideFromUtf8(path).c_str(), WideFromUtf8(mode).c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
}

bool ReadTextFile(const std::string& path, std::string* text, std::string* why) {
    std::string reason;
    if (!ReadBytes(path, text, &reason)) {
        text->clear();
        if (why)
            *why = reason;
        return false;
    }
    DropEncoding(text);
    return true;
}

std::string SnapshotFile(const char* name) {
    std::string folder = GetEnvironment(settings::kSimSnapshot);
    if (folder.empty())
        return folder;
    const char last = folder.back();
    // "/" serves Windows too; a folder given with its separator keeps it.
    return folder + (last == '/' || last == '\\' ? "" : "/") + name;
}

std::string SnapshotProblem() {
    const std::string folder = GetEnvironment(settings::kSimSnapshot);
    const std::string problem = folder.empty() ? folder : FolderProblem(folder);
    static std::mutex lock;
    static std::string said_for;  // the folder whose problem was said last
    std::lock_guard<std::mutex> hold(lock);
    if (!problem.empty() && folder != said_for)
        Complain(problem);
    said_for = problem.empty() ? "" : folder;
    return problem;
}

void Complain(const std::string& message) {
    std::fprintf(stderr, "quorel-sim: %s\n", Printable(message).c_str());
}

uint32_t CopyDescription(const std::string& what, const std::string& why, char* text, uint32_t size) {
    const std::string line = Printable(what) + (why.empty() ? "" : "\t" + Printable(why));
    if (text && size > 0) {
        const size_t copied = std::min<size_t>(line.size(), size - 1);
        std::memcpy(text, line.data(), copied);
        text[copied] = '\0';
    }
    return static_cast<uint32_t>(line.size());
}

}  // namespace quorel::process_env
