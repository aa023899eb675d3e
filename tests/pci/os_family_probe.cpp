// Classifies the Windows version that the real GetVersionExW reports (Wine
// answers with the version configured for this program's name) and checks
// the class against the one expected.
#include <cstdio>
#include <cstdlib>

#include "pci/config_access.h"
#include "platform/windows_api.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: os_family_probe EXPECTED_FAMILY\n");
        return 2;
    }
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    GetVersionExW(&info);
    quorel::ClassifyOs();
    std::printf("GetVersionExW %lu.%lu -> OsFamily %d\n",
                static_cast<unsigned long>(info.dwMajorVersion),
                static_cast<unsigned long>(info.dwMinorVersion), quorel::OsFamily);
    return quorel::OsFamily == std::atoi(argv[1]) ? 0 : 1;
}
