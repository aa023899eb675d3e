// DecodeByteAccess on any bytes, as 64- and 32-bit code, from a buffer of
// exactly their size so that a read past them is a sanitizer report.
// Beyond that: a decoded access is one of the forms, and takes exactly its
// own bytes: cut one short it is not decoded, given only them it is the same.
#include <cstring>
#include <memory>

#include "byte_access.h"
#include "fuzz_support.h"

namespace {

using quorel::sim::trap::ByteAccess;
using Kind = ByteAccess::Kind;

constexpr size_t kMaxLength = 15;

bool Same(const ByteAccess& a, const ByteAccess& b) {
    return a.kind == b.kind && a.reg == b.reg && a.high_byte == b.high_byte && a.width == b.width &&
           a.immediate == b.immediate && a.length == b.length;
}

void CheckForm(const ByteAccess& access, bool long_mode) {
    const bool extends = access.kind == Kind::kLoadZeroExtend || access.kind == Kind::kLoadSignExtend;
    const bool byte_register = access.kind == Kind::kLoad || access.kind == Kind::kStoreRegister;
    FUZZ_CHECK(access.length >= 2 && access.length <= kMaxLength);
    FUZZ_CHECK(access.reg < (long_mode ? 16 : 8));
    FUZZ_CHECK(!access.high_byte || (byte_register && access.reg < 4));
    if (extends)
        FUZZ_CHECK(access.width == 2 || access.width == 4 || (access.width == 8 && long_mode));
    else
        FUZZ_CHECK(access.width == 1);
    FUZZ_CHECK(access.kind == Kind::kStoreImmediate ? access.reg == 0 : access.immediate == 0);
}

bool Decode(const uint8_t* data, size_t size, bool long_mode, ByteAccess* access) {
    std::unique_ptr<uint8_t[]> code(new uint8_t[size]);
    if (size > 0)
        std::memcpy(code.get(), data, size);
    return quorel::sim::trap::DecodeByteAccess(code.get(), size, long_mode, access);
}

void Check(const uint8_t* data, size_t size, bool long_mode) {
    ByteAccess access, exact, shorter;
    if (!Decode(data, size, long_mode, &access))
        return;
    FUZZ_CHECK(access.length <= size);
    CheckForm(access, long_mode);
    FUZZ_CHECK(Decode(data, access.length, long_mode, &exact) && Same(exact, access));
    FUZZ_CHECK(!Decode(data, access.length - 1, long_mode, &shorter));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Check(data, size, true);
    Check(data, size, false);
    return 0;
}
