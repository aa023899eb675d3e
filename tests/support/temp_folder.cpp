#include "temp_folder.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace test_support {

namespace {

namespace fs = std::filesystem;

// The running test's folder; empty until its first TempPath.
fs::path& Current() {
    static fs::path folder;
    return folder;
}

unsigned long ProcessId() {
#ifdef _WIN32
    return GetCurrentProcessId();
#else
    return static_cast<unsigned long>(getpid());
#endif
}

// A new folder in the system's temporary folder (TMPDIR natively).
fs::path MakeFolder() {
    static unsigned counter = 0;
    const fs::path base = fs::temp_directory_path();
    const std::string stem = "quorel-test-" + std::to_string(ProcessId()) + "-";
    for (;;) {
        fs::path folder = base / (stem + std::to_string(counter++));
        if (fs::create_directory(folder))  // throws when it cannot be made
            return folder;
    }
}

// Removes the current folder; false with the reason when that fails.
bool RemoveCurrent(std::string& error) {
    if (Current().empty())
        return true;
    std::error_code code;
    fs::remove_all(Current(), code);
    if (code)
        error = Current().string() + ": " + code.message();
    Current().clear();
    return !code;
}

}  // namespace

std::string TempPath(const std::string& stem) {
    static unsigned counter = 0;
    if (Current().empty())
        Current() = MakeFolder();
    return (Current() / (stem + "-" + std::to_string(counter++) + ".txt")).string();
}

// This listener hears the end of a test before GoogleTest's own printer does,
// so a failure added here still counts for the test and is shown with it.
void TempFolderCleanup::OnTestEnd(const testing::TestInfo&) {
    std::string error;
    if (!RemoveCurrent(error))
        ADD_FAILURE() << "cannot remove the test's temporary folder " << error;
}

void TempFolderCleanup::OnTestProgramEnd(const testing::UnitTest&) {
    std::string error;
    if (!RemoveCurrent(error))
        std::fprintf(stderr, "cannot remove the temporary folder %s\n", error.c_str());
}

}  // namespace test_support
