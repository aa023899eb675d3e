// Linux, x86-64 and i386: a SIGSEGV handler for the faults and a SIGTRAP
// handler for the single steps. Every signal that is not theirs goes to
// the handler found at installation, as the system would have delivered
// it: with that handler's flags and mask, or its default action.
#include <pthread.h>
#include <sched.h>
#include <signal.h>
#include <sys/mman.h>
#include <ucontext.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iterator>

#include "trap.h"
#include "trap_platform.h"

namespace quorel::sim::trap {

namespace {

constexpr greg_t kTrapFlag = 0x100;
constexpr greg_t kWriteFault = 0x2;  // in the page fault's error code

#if defined(__x86_64__)
constexpr int kRegisters[] = {REG_RAX, REG_RCX, REG_RDX, REG_RBX, REG_RSP, REG_RBP, REG_RSI, REG_RDI,
                              REG_R8,  REG_R9,  REG_R10, REG_R11, REG_R12, REG_R13, REG_R14, REG_R15};
constexpr int kIp = REG_RIP;
#elif defined(__i386__)
constexpr int kRegisters[] = {REG_EAX, REG_ECX, REG_EDX, REG_EBX, REG_ESP, REG_EBP, REG_ESI, REG_EDI};
constexpr int kIp = REG_EIP;
#else
#error "watched pages are made for x86 code"
#endif
constexpr size_t kRegisterCount = std::size(kRegisters);

class SignalCpu final : public detail::Cpu {
public:
    explicit SignalCpu(void* context) : gregs_(static_cast<ucontext_t*>(context)->uc_mcontext.gregs) {}
    uintptr_t Get(uint8_t reg) const override {
        return reg < kRegisterCount ? static_cast<uintptr_t>(gregs_[kRegisters[reg]]) : 0;
    }
    void Set(uint8_t reg, uintptr_t value) override {
        if (reg < kRegisterCount)
            gregs_[kRegisters[reg]] = static_cast<greg_t>(value);
    }
    uintptr_t Ip() const override { return static_cast<uintptr_t>(gregs_[kIp]); }
    void SetIp(uintptr_t ip) override { gregs_[kIp] = static_cast<greg_t>(ip); }
    void SetTrapFlag(bool on) override {
        gregs_[REG_EFL] = on ? gregs_[REG_EFL] | kTrapFlag : gregs_[REG_EFL] & ~kTrapFlag;
    }
    bool WriteFault() const { return (gregs_[REG_ERR] & kWriteFault) != 0; }

private:
    greg_t* gregs_;
};

// The handlers found at installation; a one-shot one (SA_RESETHAND) is
// replaced by the default action once called, as the system does.
struct sigaction previous_segv, previous_trap;

struct sigaction& PreviousOf(int signal) { return signal == SIGSEGV ? previous_segv : previous_trap; }

// The default action: restored, then met again, by the fault repeating when
// the thread resumes, or by the signal raised anew (a trap does not repeat,
// a signal sent with kill neither). An ignored signal stays ignored unless
// a fault raised it, which the system never lets a thread ignore.
void MeetDefault(int signal, const siginfo_t* info, const struct sigaction& previous) {
    const bool from_fault = info->si_code > 0;
    if (previous.sa_handler == SIG_IGN && !from_fault)
        return;
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
    if (!from_fault || signal == SIGTRAP)
        raise(signal);  // blocked here: delivered as the handler returns
}

// Calls the handler with the mask it would have had: the thread's at the
// fault, the handler's own, and the signal itself unless SA_NODEFER.
void CallPrevious(int signal, siginfo_t* info, void* context, const struct sigaction& previous) {
    sigset_t mask = static_cast<ucontext_t*>(context)->uc_sigmask, ours;
    sigorset(&mask, &mask, &previous.sa_mask);
    if (!(previous.sa_flags & SA_NODEFER))
        sigaddset(&mask, signal);
    pthread_sigmask(SIG_SETMASK, &mask, &ours);
    if (previous.sa_flags & SA_SIGINFO)
        previous.sa_sigaction(signal, info, context);
    else
        previous.sa_handler(signal);
    pthread_sigmask(SIG_SETMASK, &ours, nullptr);
}

void PassOn(int signal, siginfo_t* info, void* context) {
    struct sigaction& stored = PreviousOf(signal);
    const struct sigaction previous = stored;
    if (previous.sa_handler == SIG_DFL || previous.sa_handler == SIG_IGN)
        return MeetDefault(signal, info, previous);
    if (previous.sa_flags & SA_RESETHAND) {
        stored.sa_handler = SIG_DFL;
        stored.sa_flags &= ~SA_SIGINFO;
    }
    CallPrevious(signal, info, context, previous);
}

void OnSegv(int signal, siginfo_t* info, void* context) {
    const int saved_errno = errno;
    SignalCpu cpu(context);
    const bool fault = info->si_code > 0;  // not one sent by kill
    if (!fault || !detail::OnFault(cpu, reinterpret_cast<uintptr_t>(info->si_addr), cpu.WriteFault()))
        PassOn(signal, info, context);
    errno = saved_errno;
}

void OnTrap(int signal, siginfo_t* info, void* context) {
    const int saved_errno = errno;
    SignalCpu cpu(context);
    if (!detail::OnStep(cpu))
        PassOn(signal, info, context);
    errno = saved_errno;
}

// The handler found is kept before ours is installed: ours may run at once,
// for a fault in another thread. Every other signal stays blocked while
// ours runs, so that no other handler runs while it holds the lock.
bool Install(int signal, void (*handler)(int, siginfo_t*, void*), std::string* why) {
    struct sigaction ours = {};
    ours.sa_sigaction = handler;
    ours.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigfillset(&ours.sa_mask);
    if (sigaction(signal, nullptr, &PreviousOf(signal)) == 0 && sigaction(signal, &ours, nullptr) == 0)
        return true;
    *why = std::string("cannot install the handler of ") + strsignal(signal) + ": " + detail::LastError();
    return false;
}

}  // namespace

uint8_t* AllocatePages(size_t size) {
    const size_t page = PageSize();
    if (size == 0 || size > SIZE_MAX - page)
        return nullptr;
    void* pages = mmap(nullptr, (size + page - 1) / page * page, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return pages == MAP_FAILED ? nullptr : static_cast<uint8_t*>(pages);
}

size_t PageSize() {
    static const auto size = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    return size;
}

namespace detail {

uintptr_t ThisThread() { return static_cast<uintptr_t>(pthread_self()); }

void Relax() { sched_yield(); }

bool Protect(uint8_t* page, size_t size, bool open) {
    return mprotect(page, size, open ? PROT_READ | PROT_WRITE : PROT_NONE) == 0;
}

std::string LastError() { return std::strerror(errno); }

bool InstallHandlers(std::string* why) { return Install(SIGSEGV, OnSegv, why) && Install(SIGTRAP, OnTrap, why); }

}  // namespace detail

}  // namespace quorel::sim::trap
