// Between the trap's shared part (trap.cpp, fault_answer.cpp) and each
// platform's (trap_linux.cpp, trap_windows.cpp): the platform catches the
// exceptions and hands the interrupted thread's registers to the shared
// part, which decides and answers.
#ifndef QUOREL_SIM_TRAP_TRAP_PLATFORM_H
#define QUOREL_SIM_TRAP_TRAP_PLATFORM_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace quorel::sim::trap::detail {

// The interrupted thread's registers, as its exception handler sees them.
class Cpu {
public:
    // reg: 0..15 in the decoder's order (rax, rcx, rdx, rbx, rsp, ...).
    virtual uintptr_t Get(uint8_t reg) const = 0;
    virtual void Set(uint8_t reg, uintptr_t value) = 0;
    virtual uintptr_t Ip() const = 0;
    virtual void SetIp(uintptr_t ip) = 0;
    // The trap flag: an exception after the next instruction.
    virtual void SetTrapFlag(bool on) = 0;

protected:
    ~Cpu() = default;
};

// Shared. A fault at `address`: true when it was on a watched page and is
// answered (resume with the registers as left), false when it goes on to
// the handler installed before ours.
bool OnFault(Cpu& cpu, uintptr_t address, bool write);
// A single-step exception: true when it ends a step OnFault began.
bool OnStep(Cpu& cpu);

// Each platform's.
uintptr_t ThisThread();  // never 0
void Relax();            // while another thread holds the lock
// Makes whole pages inaccessible, or readable and writable.
bool Protect(uint8_t* page, size_t size, bool open);
std::string LastError();  // why the last call failed, as the system says it
// The exception handlers, installed once, before the first page is watched.
bool InstallHandlers(std::string* why);

}  // namespace quorel::sim::trap::detail

#endif  // QUOREL_SIM_TRAP_TRAP_PLATFORM_H
