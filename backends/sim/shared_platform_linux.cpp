// Linux: a POSIX shared-memory object, /dev/shm/quorel-sim-NAME, left in
// place when the processes end, so that the next one finds the machine as
// the last left it; removing the file starts afresh.
#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "shared_platform.h"

namespace quorel::sim::shared {

namespace {

constexpr uint64_t kSizeWaitUs = 2'000'000;  // for the maker to give the object its size

std::string ObjectName(const std::string& name) { return "/quorel-sim-" + name; }

bool Fail(const std::string& what, std::string* why) {
    *why = what + ": " + std::strerror(errno);
    return false;
}

bool MapWhole(int fd, const std::string& name, uint64_t size, NamedMemory* memory, std::string* why) {
    void* base = MAP_FAILED;
    if (size <= SIZE_MAX)
        base = mmap(nullptr, static_cast<size_t>(size), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    else
        errno = ENOMEM;
    close(fd);
    if (base == MAP_FAILED)
        return Fail("cannot map " + SystemName(name), why);
    memory->base = static_cast<uint8_t*>(base);
    memory->size = size;
    return true;
}

bool Make(int fd, const std::string& name, uint64_t size, NamedMemory* memory, std::string* why) {
    if (ftruncate(fd, static_cast<off_t>(size)) != 0) {
        const int error = errno;
        close(fd);
        shm_unlink(ObjectName(name).c_str());
        errno = error;
        return Fail("cannot give " + SystemName(name) + " its size", why);
    }
    memory->made = true;
    if (MapWhole(fd, name, size, memory, why))
        return true;
    shm_unlink(ObjectName(name).c_str());  // not to leave it half made
    return false;
}

// The size its maker gives it right after making it.
bool OpenMade(int fd, const std::string& name, NamedMemory* memory, std::string* why) {
    struct stat about = {};
    for (const uint64_t start = MonotonicUs(); fstat(fd, &about) == 0 && about.st_size == 0;) {
        if (MonotonicUs() - start > kSizeWaitUs) {
            close(fd);
            *why = SystemName(name) + " was never given a size (the process that made it may have ended first)";
            return false;
        }
        Nap();
    }
    if (about.st_size == 0) {
        close(fd);
        return Fail("cannot see the size of " + SystemName(name), why);
    }
    return MapWhole(fd, name, static_cast<uint64_t>(about.st_size), memory, why);
}

}  // namespace

bool OpenNamedMemory(const std::string& name, uint64_t size, NamedMemory* memory, std::string* why) {
    const std::string object = ObjectName(name);
    for (int attempt = 0; attempt < 2; ++attempt) {  // again when it was removed meanwhile
        int fd = shm_open(object.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0)
            return Make(fd, name, size, memory, why);
        if (errno != EEXIST)
            return Fail("cannot make " + SystemName(name), why);
        fd = shm_open(object.c_str(), O_RDWR | O_CLOEXEC, 0);
        if (fd >= 0)
            return OpenMade(fd, name, memory, why);
        if (errno != ENOENT)
            return Fail("cannot open " + SystemName(name), why);
    }
    return Fail("cannot open " + SystemName(name), why);
}

void CloseNamedMemory(NamedMemory* memory) {
    if (memory->base)
        munmap(memory->base, static_cast<size_t>(memory->size));
    *memory = NamedMemory();
}

std::string SystemName(const std::string& name) { return "/dev/shm" + ObjectName(name); }

std::string HowToStartAfresh(const std::string& name) {
    return "remove " + SystemName(name) + " or choose another name";
}

uint32_t ThisProcess() { return static_cast<uint32_t>(getpid()); }

bool ProcessEnded(uint32_t id) { return kill(static_cast<pid_t>(id), 0) != 0 && errno == ESRCH; }

void Pause() { sched_yield(); }

void Nap() { usleep(1000); }

uint64_t MonotonicUs() {
    struct timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1'000'000 + static_cast<uint64_t>(now.tv_nsec) / 1000;
}

}  // namespace quorel::sim::shared
