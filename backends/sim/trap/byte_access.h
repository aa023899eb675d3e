// The byte loads and stores an x86 compiler emits for a register access
// through a pointer, decoded from their machine code, so that a fault on
// a watched page can be answered by performing the access for the
// instruction and stepping over it. Pure: no memory is read beyond what
// it is given.
#ifndef QUOREL_SIM_TRAP_BYTE_ACCESS_H
#define QUOREL_SIM_TRAP_BYTE_ACCESS_H

#include <cstddef>
#include <cstdint>

namespace quorel::sim::trap {

struct ByteAccess {
    enum class Kind {
        kLoadZeroExtend,  // movzx r16/32/64, r/m8   (0F B6 /r)
        kLoadSignExtend,  // movsx r16/32/64, r/m8   (0F BE /r)
        kLoad,            // mov r8, r/m8            (8A /r)
        kStoreRegister,   // mov r/m8, r8            (88 /r)
        kStoreImmediate,  // mov r/m8, imm8          (C6 /0 ib)
    } kind = Kind::kLoad;
    // The register operand: 0..15 in the order rax, rcx, rdx, rbx, rsp,
    // rbp, rsi, rdi, r8..r15 (eax.. edi in 32-bit code).
    uint8_t reg = 0;
    // kLoad and kStoreRegister: the byte is bits 15:8 of reg (ah, ch, dh,
    // bh: encoded as 4..7 without a REX prefix; reg is then 0..3, rax for
    // ah).
    bool high_byte = false;
    // Loads: the destination's width in bytes, 1, 2, 4 or 8. A 4-byte
    // destination in 64-bit code clears the upper half as the CPU does.
    uint8_t width = 1;
    uint8_t immediate = 0;  // kStoreImmediate (reg is then 0)
    uint8_t length = 0;     // of the whole instruction, prefixes included

    bool IsLoad() const { return kind <= Kind::kLoad; }
};

// Decodes the instruction at code[0 .. size): true and *access when it is
// one of the forms above with a memory operand; false for anything else
// ("not mine": another instruction, a register operand, 16-bit
// addressing, or fewer bytes than the instruction needs).
bool DecodeByteAccess(const uint8_t* code, size_t size, bool long_mode, ByteAccess* access);

}  // namespace quorel::sim::trap

#endif  // QUOREL_SIM_TRAP_BYTE_ACCESS_H
