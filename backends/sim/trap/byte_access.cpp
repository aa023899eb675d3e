#include "byte_access.h"

namespace quorel::sim::trap {

namespace {

using Kind = ByteAccess::Kind;

constexpr size_t kMaxLength = 15;  // the CPU refuses a longer instruction
constexpr uint8_t kRexW = 0x08, kRexR = 0x04;

// The instruction's bytes, taken in turn, never past the end given.
class Reader {
public:
    Reader(const uint8_t* code, size_t size) : code_(code), size_(size < kMaxLength ? size : kMaxLength) {}
    bool Peek(uint8_t* byte) const {
        if (at_ == size_)
            return false;
        *byte = code_[at_];
        return true;
    }
    bool Next(uint8_t* byte) { return Peek(byte) && Skip(1); }
    bool Skip(size_t count) {
        if (size_ - at_ < count)
            return false;
        at_ += count;
        return true;
    }
    size_t taken() const { return at_; }

private:
    const uint8_t* code_;
    size_t size_;
    size_t at_ = 0;
};

struct Prefixes {
    bool operand_size = false;  // 66: a 16-bit destination
    uint8_t rex = 0;            // 40..4F in 64-bit code, 0 without one
};

enum class Prefix { kNone, kOperandSize, kAddressSize, kSegment, kRefused };

Prefix Classify(uint8_t byte) {
    switch (byte) {
    case 0x66:
        return Prefix::kOperandSize;
    case 0x67:
        return Prefix::kAddressSize;
    case 0x26: case 0x2E: case 0x36: case 0x3E: case 0x64: case 0x65:
        return Prefix::kSegment;
    case 0xF0: case 0xF2: case 0xF3:  // lock, repeat: not a plain access
        return Prefix::kRefused;
    default:
        return Prefix::kNone;
    }
}

// The legacy prefixes, then in 64-bit code a REX prefix, which counts only
// right before the opcode. False for a prefix that makes the instruction
// none of ours: lock or repeat, or 16-bit addressing (67 in 32-bit code).
bool ReadPrefixes(Reader& in, bool long_mode, Prefixes* prefixes) {
    uint8_t byte;
    for (Prefix kind; in.Peek(&byte) && (kind = Classify(byte)) != Prefix::kNone; in.Skip(1)) {
        if (kind == Prefix::kRefused || (kind == Prefix::kAddressSize && !long_mode))
            return false;
        prefixes->operand_size |= kind == Prefix::kOperandSize;
    }
    if (long_mode && in.Peek(&byte) && (byte & 0xF0) == 0x40) {
        prefixes->rex = byte;
        in.Skip(1);
    }
    return true;
}

bool ReadOpcode(Reader& in, Kind* kind) {
    uint8_t byte;
    if (!in.Next(&byte))
        return false;
    switch (byte) {
    case 0x8A: *kind = Kind::kLoad; return true;
    case 0x88: *kind = Kind::kStoreRegister; return true;
    case 0xC6: *kind = Kind::kStoreImmediate; return true;
    case 0x0F: break;
    default: return false;
    }
    if (!in.Next(&byte))
        return false;
    *kind = byte == 0xB6 ? Kind::kLoadZeroExtend : Kind::kLoadSignExtend;
    return byte == 0xB6 || byte == 0xBE;
}

// The SIB byte and displacement after a memory operand's ModRM byte, in
// 32- and 64-bit addressing (REX.B changes none of the special cases).
bool SkipAddress(Reader& in, uint8_t modrm) {
    const uint8_t mod = modrm >> 6, rm = modrm & 7;
    size_t displacement = mod == 1 ? 1 : mod == 2 ? 4 : 0;
    uint8_t sib = 0;
    if (rm == 4 && !in.Next(&sib))
        return false;
    const bool absolute = rm == 4 ? (sib & 7) == 5 : rm == 5;  // disp32, or RIP-relative
    if (mod == 0 && absolute)
        displacement = 4;
    return in.Skip(displacement);
}

// The register operand and the destination's width from the ModRM byte's
// reg field and the prefixes.
void SetRegister(ByteAccess* access, uint8_t modrm, const Prefixes& prefixes) {
    access->reg = (modrm >> 3 & 7) | (prefixes.rex & kRexR ? 8 : 0);
    const bool byte_register = access->kind == Kind::kLoad || access->kind == Kind::kStoreRegister;
    if (byte_register && prefixes.rex == 0 && access->reg >= 4) {  // ah, ch, dh, bh
        access->high_byte = true;
        access->reg -= 4;
    }
    const bool extends = access->kind == Kind::kLoadZeroExtend || access->kind == Kind::kLoadSignExtend;
    if (extends)
        access->width = prefixes.rex & kRexW ? 8 : prefixes.operand_size ? 2 : 4;
}

// C6 is a byte store of its immediate only with 0 in the reg field.
bool ReadImmediate(Reader& in, uint8_t modrm, ByteAccess* access) {
    access->reg = 0;
    return (modrm >> 3 & 7) == 0 && in.Next(&access->immediate);
}

}  // namespace

bool DecodeByteAccess(const uint8_t* code, size_t size, bool long_mode, ByteAccess* access) {
    Reader in(code, size);
    Prefixes prefixes;
    ByteAccess decoded;
    uint8_t modrm;
    if (!ReadPrefixes(in, long_mode, &prefixes) || !ReadOpcode(in, &decoded.kind) || !in.Next(&modrm))
        return false;
    if (modrm >> 6 == 3 || !SkipAddress(in, modrm))  // mod 11: a register, not memory
        return false;
    SetRegister(&decoded, modrm, prefixes);
    if (decoded.kind == Kind::kStoreImmediate && !ReadImmediate(in, modrm, &decoded))
        return false;
    decoded.length = static_cast<uint8_t>(in.taken());
    *access = decoded;
    return true;
}

}  // namespace quorel::sim::trap
