// Windows: a mapping of the paging file named Local\quorel-sim-NAME, which
// lasts while any process has it open (the handle is kept until the
// process ends): processes share a machine while at least one of them runs.
#include <windows.h>

#include <cstdint>

#include "shared_platform.h"

namespace quorel::sim::shared {

namespace {

std::wstring WideName(const std::string& name) {
    const std::string full = SystemName(name);
    return std::wstring(full.begin(), full.end());  // ASCII: the name is checked
}

bool Fail(const std::string& what, std::string* why) {
    *why = what + ": error " + std::to_string(GetLastError());
    return false;
}

}  // namespace

bool OpenNamedMemory(const std::string& name, uint64_t size, NamedMemory* memory, std::string* why) {
    SetLastError(ERROR_SUCCESS);  // then ERROR_ALREADY_EXISTS tells an existing one
    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE,
                                        static_cast<DWORD>(size >> 32), static_cast<DWORD>(size),
                                        WideName(name).c_str());
    if (!mapping)
        return Fail("cannot make or open " + SystemName(name), why);
    const bool made = GetLastError() != ERROR_ALREADY_EXISTS;
    void* view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0);  // whole, at its maker's size
    MEMORY_BASIC_INFORMATION about = {};
    if (!view || !VirtualQuery(view, &about, sizeof(about))) {
        Fail("cannot map " + SystemName(name), why);
        CloseHandle(mapping);
        return false;
    }
    memory->base = static_cast<uint8_t*>(view);
    memory->size = about.RegionSize;
    memory->made = made;
    memory->handle = reinterpret_cast<intptr_t>(mapping);
    return true;
}

void CloseNamedMemory(NamedMemory* memory) {
    if (memory->base)
        UnmapViewOfFile(memory->base);
    if (memory->handle)
        CloseHandle(reinterpret_cast<HANDLE>(memory->handle));
    *memory = NamedMemory();
}

std::string SystemName(const std::string& name) { return "Local\\quorel-sim-" + name; }

std::string HowToStartAfresh(const std::string&) {
    return "end the processes that share it or choose another name";
}

uint32_t ThisProcess() { return GetCurrentProcessId(); }

bool ProcessEnded(uint32_t id) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
    if (!process)
        return GetLastError() == ERROR_INVALID_PARAMETER;  // no such process
    const bool ended = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
}

void Pause() { SwitchToThread(); }

void Nap() { Sleep(1); }

uint64_t MonotonicUs() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    const uint64_t ticks = static_cast<uint64_t>(count.QuadPart);
    const uint64_t per_second = static_cast<uint64_t>(frequency.QuadPart);
    return ticks / per_second * 1'000'000 + ticks % per_second * 1'000'000 / per_second;
}

}  // namespace quorel::sim::shared
