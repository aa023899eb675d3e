#include "config_space.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace quorel::sysfs {

namespace {

// Configuration cycles carry dword addresses: the two low offset bits are not sent.
constexpr uint16_t kDwordAlignMask = 0xFFFC;
constexpr unsigned kDwordBytes = 4;

// The function has no directory: nothing sits at that address.
bool IsAbsent(int errno_value) { return errno_value == ENOENT || errno_value == ENOTDIR; }

// Up to four bytes at `offset`; what lies past the end of the file stays 0.
bool ReadDword(int fd, off_t offset, uint8_t (&bytes)[kDwordBytes]) {
    size_t got = 0;
    while (got < kDwordBytes) {
        ssize_t n = pread(fd, bytes + got, kDwordBytes - got, offset + static_cast<off_t>(got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        got += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

int ConfigSpace::ReadDescriptor(const std::string& path) {
    auto found = open_.find(path);
    if (found != open_.end())
        return found->second;
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0)
        open_.emplace(path, fd);
    return fd;
}

bool ConfigSpace::Read(const PciAddress& at, uint16_t offset, uint32_t* value) {
    if (!ulvexa::CanCarry(at, offset))
        return false;
    int fd = ReadDescriptor(FunctionFile(at, "config"));
    if (fd < 0) {
        if (!IsAbsent(errno))
            return false;
        *value = ulvexa::kNobodyAnswers;
        return true;
    }
    uint8_t bytes[kDwordBytes] = {};
    if (!ReadDword(fd, offset & kDwordAlignMask, bytes))
        return false;
    *value = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
             static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    return true;
}

bool ConfigSpace::Write(const PciAddress& at, uint16_t offset, uint32_t value) {
    if (!ulvexa::CanCarry(at, offset))
        return false;
    int fd = open(FunctionFile(at, "config").c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return IsAbsent(errno);
    const uint8_t bytes[kDwordBytes] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                                        static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    ssize_t n = pwrite(fd, bytes, kDwordBytes, offset & kDwordAlignMask);
    close(fd);
    return n == static_cast<ssize_t>(kDwordBytes);
}

void ConfigSpace::Release() {
    for (const auto& entry : open_)
        close(entry.second);
    open_.clear();
}

}  // namespace quorel::sysfs
