#include "process_env/process_env.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <vector>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <cstdlib>
#endif

namespace quorel::process_env {

namespace {

// A full -xxxx machine file of 256 functions is under 4 MiB, registry
// exports are smaller; anything far larger is neither (or is /dev/zero).
constexpr size_t kMaxFileSize = 16 << 20;
constexpr size_t kChunkSize = 64 << 10;

// What a snapshot folder lacks, or "".
std::string FolderProblem(const std::string& folder) {
    namespace fs = std::filesystem;
    const std::string head = std::string(kSnapshotVariable) + "=" + folder + ": ";
    const std::string advice = "; set it to a folder that `quorel snapshot DIR` wrote";
    std::error_code code;
    const fs::file_status status = fs::status(fs::path(folder), code);
    if (status.type() == fs::file_type::not_found)
        return head + "no such folder" + advice;
    if (code)
        return head + "cannot be read: " + code.message() + advice;
    if (status.type() != fs::file_type::directory)
        return head + "not a folder" + advice + " (a machine file alone is replayed with "
               "QUOREL_SIM_MACHINE)";
    if (!fs::exists(fs::path(folder) / kSnapshotAbout, code))
        return head + "not a snapshot: it has no " + kSnapshotAbout + advice;
    return "";
}

}  // namespace

std::string GetEnvironment(const char* name) {
#ifdef _WIN32
    // Not getenv: the C runtime keeps its own copy of the environment, which
    // does not see SetEnvironmentVariable calls made after it started.
    DWORD size = GetEnvironmentVariableA(name, nullptr, 0);
    if (size == 0)
        return std::string();
    std::string value(size, '\0');
    DWORD length = GetEnvironmentVariableA(name, &value[0], size);
    value.resize(length < size ? length : 0);
    return value;
#else
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
#endif
}

bool ReadTextFile(const std::string& path, std::string* text) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> chunk(kChunkSize);
    text->clear();
    while (in && text->size() <= kMaxFileSize) {
        in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        text->append(chunk.data(), static_cast<size_t>(in.gcount()));
    }
    return in.eof() && !in.bad() && text->size() <= kMaxFileSize;
}

std::string SnapshotFile(const char* name) {
    std::string folder = GetEnvironment(kSnapshotVariable);
    if (folder.empty())
        return folder;
    const char last = folder.back();
    // "/" serves Windows too; a folder given with its separator keeps it.
    return folder + (last == '/' || last == '\\' ? "" : "/") + name;
}

std::string SnapshotProblem() {
    const std::string folder = GetEnvironment(kSnapshotVariable);
    const std::string problem = folder.empty() ? folder : FolderProblem(folder);
    static std::mutex lock;
    static std::string said_for;  // the folder whose problem was said last
    std::lock_guard<std::mutex> hold(lock);
    if (!problem.empty() && folder != said_for)
        Complain(problem);
    said_for = problem.empty() ? "" : folder;
    return problem;
}

std::string SettingPath(const char* variable, const char* snapshot_file) {
    std::string own = GetEnvironment(variable);
    return own.empty() ? SnapshotFile(snapshot_file) : own;
}

void Complain(const std::string& message) { std::fprintf(stderr, "quorel-sim: %s\n", message.c_str()); }

}  // namespace quorel::process_env
