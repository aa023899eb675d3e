// What a fault on a watched page gets: a decoded byte access is performed
// by the watcher and the instruction stepped over; any other instruction
// runs with its page opened for one step, the watcher's byte put where it
// reads and what it wrote given to the watcher afterwards.
#include "byte_access.h"
#include "trap_platform.h"
#include "trap_state.h"

namespace quorel::sim::trap::detail {

namespace {

using Kind = ByteAccess::Kind;

constexpr bool kLongMode = sizeof(void*) == 8;

uintptr_t PageStart(uintptr_t address) { return address & ~(uintptr_t{PageSize()} - 1); }

// The load's destination register after it, from its value before.
uintptr_t Loaded(const ByteAccess& access, uintptr_t old, uint8_t byte) {
    if (access.kind == Kind::kLoad && access.high_byte)
        return (old & ~uintptr_t{0xFF00}) | uintptr_t{byte} << 8;
    if (access.kind == Kind::kLoad)
        return (old & ~uintptr_t{0xFF}) | byte;
    const uintptr_t value = access.kind == Kind::kLoadSignExtend
                                ? static_cast<uintptr_t>(static_cast<intptr_t>(static_cast<int8_t>(byte)))
                                : byte;
    if (access.width == 2)
        return (old & ~uintptr_t{0xFFFF}) | (value & 0xFFFF);
    return access.width == 4 ? value & 0xFFFFFFFF : value;  // 4: the upper half cleared, as the CPU does
}

uint8_t Stored(const ByteAccess& access, const Cpu& cpu) {
    if (access.kind == Kind::kStoreImmediate)
        return access.immediate;
    const uintptr_t value = cpu.Get(access.reg);
    return static_cast<uint8_t>(access.high_byte ? value >> 8 : value);
}

// The byte access at the instruction pointer, if that is what is there.
// The code is read up to the end of its page only (the next one may not be
// readable): an instruction running over it takes the single step.
bool DecodeAt(const Cpu& cpu, ByteAccess* access) {
    const uintptr_t ip = cpu.Ip();
    const size_t readable = PageStart(ip) + PageSize() - ip;
    return DecodeByteAccess(reinterpret_cast<const uint8_t*>(ip), readable, kLongMode, access);
}

void Perform(Cpu& cpu, const ByteAccess& access, const Range& range, uintptr_t address) {
    const auto offset = static_cast<uint32_t>(address - range.base);
    if (access.IsLoad())
        cpu.Set(access.reg, Loaded(access, cpu.Get(access.reg), range.watcher->Load(offset)));
    else
        range.watcher->Store(offset, Stored(access, cpu));
    cpu.SetIp(cpu.Ip() + access.length);
}

// Opens the page for one step of the faulting instruction, with the
// watcher's byte at the address: Load for a read, Peek for a write (what a
// read-modify-write finds). The lock stays held until OnStep.
bool BeginStep(State& state, Cpu& cpu, const Range& range, uintptr_t address, bool write) {
    auto* page = reinterpret_cast<uint8_t*>(PageStart(address));
    if (state.open_count == State::kMaxOpen || !Protect(page, PageSize(), true))
        return false;
    OpenByte& open = state.open[state.open_count++];
    open = {reinterpret_cast<uint8_t*>(address), range.watcher, static_cast<uint32_t>(address - range.base), 0,
            write};
    open.put = write ? range.watcher->Peek(open.offset) : range.watcher->Load(open.offset);
    *open.address = open.put;
    cpu.SetTrapFlag(true);
    return true;
}

// The byte the instruction left goes to the watcher when it wrote it (or
// changed it: a read-modify-write may fault as a read), and the page
// closes again.
void EndStep(const OpenByte& open) {
    const uint8_t now = *open.address;
    if (open.write || now != open.put)
        open.watcher->Store(open.offset, now);
    Protect(reinterpret_cast<uint8_t*>(PageStart(reinterpret_cast<uintptr_t>(open.address))), PageSize(), false);
}

// Under the lock.
bool Answer(State& state, Cpu& cpu, uintptr_t address, bool write) {
    const Range* range = FindRange(state, address);
    if (!range || FindRange(state, cpu.Ip()))  // not ours, or code run from a watched page
        return false;
    ByteAccess access;
    const bool emulate = state.mode.load(std::memory_order_relaxed) == Mode::kEmulate;
    if (emulate && DecodeAt(cpu, &access) && access.IsLoad() != write) {
        Perform(cpu, access, *range, address);
        ++state.counts.emulated;
        return true;
    }
    return BeginStep(state, cpu, *range, address, write);
}

}  // namespace

bool OnFault(Cpu& cpu, uintptr_t address, bool write) {
    State& state = TheState();
    if (state.lock.HeldByMe()) {  // inside a step: another watched page the instruction touches
        const Range* range = state.open_count > 0 ? FindRange(state, address) : nullptr;
        return range && BeginStep(state, cpu, *range, address, write);
    }
    state.lock.Lock();
    const bool answered = Answer(state, cpu, address, write);
    if (state.open_count == 0)
        state.lock.Unlock();
    return answered;
}

bool OnStep(Cpu& cpu) {
    State& state = TheState();
    if (!state.lock.HeldByMe() || state.open_count == 0)
        return false;
    for (int i = 0; i < state.open_count; ++i)
        EndStep(state.open[i]);
    state.open_count = 0;
    ++state.counts.stepped;
    cpu.SetTrapFlag(false);
    state.lock.Unlock();
    return true;
}

}  // namespace quorel::sim::trap::detail
