#include "sysfs_tree.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "process_env/utf8.h"
#include "settings/settings.h"

namespace quorel::sysfs {

namespace {

constexpr unsigned kDomain = 0;  // PCI domain (segment) the contract reaches

}  // namespace

std::string Root() {
    const char* root = std::getenv(settings::kSysfsRoot);
    return root && *root ? root : settings::kSysfsDefaultRoot;
}

std::string DevicesDir() { return Root() + settings::kSysfsFunctionsFolder; }

std::string FunctionName(const PciAddress& at) {
    char name[16];
    std::snprintf(name, sizeof(name), "%04x:%02x:%02x.%x", kDomain, at.bus, at.device, at.function);
    return name;
}

std::string FunctionFile(const PciAddress& at, const char* file) {
    return DevicesDir() + "/" + FunctionName(at) + "/" + file;
}

bool ListFunctions(std::vector<PciAddress>* functions, std::string* error) {
    namespace fs = std::filesystem;
    std::error_code code;
    const std::string dir = DevicesDir();
    functions->clear();
    for (fs::directory_iterator it(dir, code), end; !code && it != end; it.increment(code)) {
        unsigned domain, bus, device, function;
        char extra;
        const std::string name = it->path().filename().string();
        if (std::sscanf(name.c_str(), "%x:%x:%x.%x%c", &domain, &bus, &device, &function, &extra) == 4 &&
            domain == kDomain && bus <= UINT8_MAX && device <= ulvexa::kMaxDevice &&
            function <= ulvexa::kMaxFunction)
            functions->push_back(PciAddress{static_cast<uint8_t>(bus), static_cast<uint8_t>(device),
                                          static_cast<uint8_t>(function)});
    }
    if (code)
        *error = dir + ": " + code.message();
    return !code;
}

bool ReadBar0Resource(const PciAddress& at, Resource* bar0) {
    std::ifstream in(FunctionFile(at, "resource"));
    std::string line;
    if (!std::getline(in, line))
        return false;
    return std::sscanf(line.c_str(), "%" SCNx64 " %" SCNx64 " %" SCNx64, &bar0->start, &bar0->end,
                       &bar0->flags) == 3;
}

// Paths come from QUOREL_SYSFS_ROOT and the tree: control characters are
// written out, as in every message of ours.
void Complain(const std::string& message) {
    std::fprintf(stderr, "quorel-sysfs: %s\n", process_env::Printable(message).c_str());
}

std::string ErrnoText(const std::string& what, int errno_value) {
    return what + ": " + std::strerror(errno_value);
}

}  // namespace quorel::sysfs
