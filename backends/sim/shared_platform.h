// What a machine shared between processes (shared_machine.h) needs of the
// system: named shared memory, process IDs, and a clock that every process
// reads alike. shared_platform_linux.cpp (shm_open, CLOCK_MONOTONIC) and
// shared_platform_windows.cpp (a mapping of the paging file, the
// performance counter).
#ifndef QUOREL_SIM_SHARED_PLATFORM_H
#define QUOREL_SIM_SHARED_PLATFORM_H

#include <cstdint>
#include <string>

namespace quorel::sim::shared {

struct NamedMemory {
    uint8_t* base = nullptr;
    uint64_t size = 0;
    bool made = false;  // by this process, zero-filled, for it to fill in
    intptr_t handle = 0;  // the system's, kept while the memory is used
};

// The memory named `name` (checked: letters, digits, '.', '_', '-'): made
// with `size` bytes when there is none, else the one there is, whole (its
// size is its maker's). False with why.
bool OpenNamedMemory(const std::string& name, uint64_t size, NamedMemory* memory, std::string* why);
void CloseNamedMemory(NamedMemory* memory);
// The memory's name as the system shows it ("/dev/shm/quorel-sim-lab").
std::string SystemName(const std::string& name);
// What lets a process start afresh with the name, for messages.
std::string HowToStartAfresh(const std::string& name);

uint32_t ThisProcess();
// True when the process has surely ended (an ID no process has).
bool ProcessEnded(uint32_t id);
// Lets another thread or process run while this one waits for it.
void Pause();
// Sleeps about a millisecond, for longer waits.
void Nap();
// Microseconds of the clock every process of this system reads alike.
uint64_t MonotonicUs();

}  // namespace quorel::sim::shared

#endif  // QUOREL_SIM_SHARED_PLATFORM_H
