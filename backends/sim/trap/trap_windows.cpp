// Windows, x64 and x86: a vectored exception handler, called first, for
// the access violations and the single steps. Every exception that is not
// its own goes on the search, to the handlers after it and the frames'.
#include <windows.h>

#include <cstdint>
#include <iterator>

#include "trap.h"
#include "trap_platform.h"

namespace quorel::sim::trap {

namespace {

constexpr DWORD kTrapFlag = 0x100;
constexpr ULONG_PTR kWriteFault = 1;  // ExceptionInformation[0]: 0 read, 1 write, 8 execute

#if defined(_WIN64)
using Register = DWORD64;
constexpr Register CONTEXT::*kRegisters[] = {
    &CONTEXT::Rax, &CONTEXT::Rcx, &CONTEXT::Rdx, &CONTEXT::Rbx, &CONTEXT::Rsp, &CONTEXT::Rbp,
    &CONTEXT::Rsi, &CONTEXT::Rdi, &CONTEXT::R8,  &CONTEXT::R9,  &CONTEXT::R10, &CONTEXT::R11,
    &CONTEXT::R12, &CONTEXT::R13, &CONTEXT::R14, &CONTEXT::R15};
constexpr Register CONTEXT::*kIp = &CONTEXT::Rip;
#else
using Register = DWORD;
constexpr Register CONTEXT::*kRegisters[] = {&CONTEXT::Eax, &CONTEXT::Ecx, &CONTEXT::Edx, &CONTEXT::Ebx,
                                             &CONTEXT::Esp, &CONTEXT::Ebp, &CONTEXT::Esi, &CONTEXT::Edi};
constexpr Register CONTEXT::*kIp = &CONTEXT::Eip;
#endif
constexpr size_t kRegisterCount = std::size(kRegisters);

class ContextCpu final : public detail::Cpu {
public:
    explicit ContextCpu(CONTEXT* context) : context_(context) {}
    uintptr_t Get(uint8_t reg) const override { return reg < kRegisterCount ? context_->*kRegisters[reg] : 0; }
    void Set(uint8_t reg, uintptr_t value) override {
        if (reg < kRegisterCount)
            context_->*kRegisters[reg] = value;
    }
    uintptr_t Ip() const override { return context_->*kIp; }
    void SetIp(uintptr_t ip) override { context_->*kIp = ip; }
    void SetTrapFlag(bool on) override {
        context_->EFlags = on ? context_->EFlags | kTrapFlag : context_->EFlags & ~kTrapFlag;
    }

private:
    CONTEXT* context_;
};

bool Answer(const EXCEPTION_RECORD& record, ContextCpu& cpu) {
    if (record.ExceptionCode == EXCEPTION_SINGLE_STEP)
        return detail::OnStep(cpu);
    if (record.ExceptionCode != EXCEPTION_ACCESS_VIOLATION || record.NumberParameters < 2)
        return false;
    const ULONG_PTR* information = record.ExceptionInformation;
    return detail::OnFault(cpu, information[1], information[0] == kWriteFault);
}

LONG CALLBACK OnException(EXCEPTION_POINTERS* pointers) {
    ContextCpu cpu(pointers->ContextRecord);
    return Answer(*pointers->ExceptionRecord, cpu) ? EXCEPTION_CONTINUE_EXECUTION : EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

uint8_t* AllocatePages(size_t size) {
    if (size == 0)
        return nullptr;
    return static_cast<uint8_t*>(VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
}

size_t PageSize() {
    static const size_t size = [] {
        SYSTEM_INFO system;
        GetSystemInfo(&system);
        return static_cast<size_t>(system.dwPageSize);
    }();
    return size;
}

namespace detail {

uintptr_t ThisThread() { return GetCurrentThreadId(); }

void Relax() { SwitchToThread(); }

bool Protect(uint8_t* page, size_t size, bool open) {
    DWORD before;
    return VirtualProtect(page, size, open ? PAGE_READWRITE : PAGE_NOACCESS, &before) != 0;
}

std::string LastError() { return "error " + std::to_string(GetLastError()); }

bool InstallHandlers(std::string* why) {
    if (AddVectoredExceptionHandler(1, OnException))
        return true;
    *why = "cannot add the vectored exception handler: " + LastError();
    return false;
}

}  // namespace detail

}  // namespace quorel::sim::trap
