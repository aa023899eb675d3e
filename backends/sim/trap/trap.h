// Watched pages: memory that faults on every access, each fault answered by
// a Watcher and the faulting instruction stepped over, so that a simulated
// card sees every access its registers get, on every thread, with the page
// closed throughout. Windows (both bitnesses): a vectored exception handler;
// Linux (x86-64 and i386): a SIGSEGV handler. Every fault that is not on a
// watched page goes on to the handler installed before ours, as it would
// have without it.
//
// A decoded byte load or store (byte_access.h) is performed by the watcher
// and the thread resumes after it: one fault per access. Any other
// instruction is single-stepped with the page opened for it (trap flag,
// then a second exception that closes the page again): correct, slower,
// and while the page is open another thread's access is not seen.
#ifndef QUOREL_SIM_TRAP_TRAP_H
#define QUOREL_SIM_TRAP_TRAP_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace quorel::sim::trap {

// Where a watched page's accesses go. Called from the faulting thread,
// one access at a time under the trap's lock; must not touch a watched
// page itself.
class Watcher {
public:
    virtual ~Watcher() = default;
    // offset: from the start of the watched range.
    virtual uint8_t Load(uint32_t offset) = 0;
    virtual void Store(uint32_t offset, uint8_t value) = 0;
    // The byte now, without side effects: what a single-stepped
    // instruction that reads and writes the byte finds there.
    virtual uint8_t Peek(uint32_t offset) = 0;
};

// Zeroed memory starting on a page boundary, for a window that may be
// watched (mmap / VirtualAlloc); null when there is none. Never freed:
// windows live as long as the process.
uint8_t* AllocatePages(size_t size);
size_t PageSize();

// Makes [base, base + size) inaccessible and sends its accesses to
// watcher, installing the handler at the first call. base and size are
// whole pages of AllocatePages memory. False with why when it cannot.
bool Watch(uint8_t* base, size_t size, Watcher* watcher, std::string* why);

// How accesses are answered; kSingleStep for every access (the way that
// needs no decoding) is for comparison and for the benchmark.
enum class Mode { kEmulate, kSingleStep };
void SetMode(Mode mode);

// Accesses answered so far, by way.
struct Counts {
    uint64_t emulated = 0;
    uint64_t stepped = 0;
};
Counts Seen();

}  // namespace quorel::sim::trap

#endif  // QUOREL_SIM_TRAP_TRAP_H
