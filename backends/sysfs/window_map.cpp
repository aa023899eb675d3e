#include "window_map.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>

namespace quorel::sysfs {

namespace {

std::string Hex(uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof(text), "0x%" PRIx64, value);
    return text;
}

// The domain-0000 function whose memory BAR0 starts at phys_addr.
bool FindBar0(uint64_t phys_addr, PciAddress* at, Resource* bar0) {
    std::vector<PciAddress> functions;
    std::string error;
    if (!ListFunctions(&functions, &error)) {
        Complain("cannot look for the function at " + Hex(phys_addr) + ": " + error);
        return false;
    }
    for (const PciAddress& f : functions) {
        if (ReadBar0Resource(f, bar0) && (bar0->flags & kResourceMemory) && bar0->start == phys_addr) {
            *at = f;
            return true;
        }
    }
    Complain("no PCI function has a memory BAR0 at " + Hex(phys_addr) + " (in " + DevicesDir() + ")");
    return false;
}

void WarnIfDecodingOff(const PciAddress& at, ConfigSpace& config) {
    uint32_t command = 0;
    if (!config.Read(at, kCommandOffset, &command) || (command & kCommandMemorySpace))
        return;
    Complain(FunctionName(at) + ": memory decoding is off in its Command register: the window " +
             "reads all ones until the device is enabled (as root: echo 1 > " +
             FunctionFile(at, "enable") + ")");
}

std::string OpenAdvice(int errno_value) {
    if (errno_value == EACCES || errno_value == EPERM)
        return "; run as root, or give this user read and write access to it with a udev rule "
               "(see the README)";
    if (errno_value == ENOENT)
        return "; the kernel offers no window for BAR0 (not assigned, or not memory)";
    return "";
}

}  // namespace

uint8_t* WindowMaps::Cached(const std::string& path, uint64_t length) const {
    for (const Window& w : windows_)
        if (w.path == path && w.length >= length)
            return w.base;
    return nullptr;
}

uint8_t* WindowMaps::MapFile(const std::string& path, uint64_t length, uint64_t phys_addr) {
    // O_SYNC: the kernel maps the registers uncached.
    int fd = open(path.c_str(), O_RDWR | O_SYNC | O_CLOEXEC);
    if (fd < 0) {
        int error = errno;
        Complain(ErrnoText("cannot open " + path, error) + OpenAdvice(error));
        return nullptr;
    }
    const uint64_t page = static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
    const uint64_t into_page = phys_addr % page;
    const uint64_t span = (into_page + length + page - 1) / page * page;
    void* pages = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    int error = errno;
    close(fd);  // the mapping keeps the file
    if (pages == MAP_FAILED) {
        Complain(ErrnoText("cannot map " + path, error) +
                 "; the kernel refuses it (a locked-down kernel, iomem=strict, or a disabled device)");
        return nullptr;
    }
    return static_cast<uint8_t*>(pages) + into_page;
}

uint8_t* WindowMaps::Map(uint64_t length, uint64_t phys_addr, ConfigSpace& config) {
    PciAddress at{};
    Resource bar0;
    if (length == 0 || !FindBar0(phys_addr, &at, &bar0))
        return nullptr;
    const uint64_t decoded = bar0.end - bar0.start + 1;
    if (bar0.end < bar0.start || decoded < length) {
        Complain(FunctionName(at) + ": BAR0 decodes " + Hex(decoded) + " bytes, fewer than the " +
                 Hex(length) + " of the window asked for");
        return nullptr;
    }
    const std::string path = FunctionFile(at, "resource0");
    if (uint8_t* window = Cached(path, length))
        return window;
    WarnIfDecodingOff(at, config);
    uint8_t* window = MapFile(path, length, phys_addr);
    if (window)
        windows_.push_back(Window{path, length, window});
    return window;
}

}  // namespace quorel::sysfs
