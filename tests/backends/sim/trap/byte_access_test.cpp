// The byte accesses decoded from machine code: the forms the DLLs and
// libquorel.so use today, the prefixes and addressing around them, and
// what is left to the single step.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "byte_access.h"

namespace quorel::sim::trap {
namespace {

std::vector<uint8_t> Bytes(const std::string& hex) {
    std::istringstream in(hex);
    std::vector<uint8_t> bytes;
    for (unsigned byte; in >> std::hex >> byte;)
        bytes.push_back(static_cast<uint8_t>(byte));
    return bytes;
}

// "movzx r9 w4 l5": form, register (h: its bits 15:8), width, length.
std::string Decode(const std::vector<uint8_t>& code, bool long_mode) {
    static const char* const kForms[] = {"movzx", "movsx", "load", "store", "imm"};
    ByteAccess access;
    if (!DecodeByteAccess(code.data(), code.size(), long_mode, &access))
        return "not mine";
    std::ostringstream text;
    text << kForms[static_cast<int>(access.kind)] << " r" << int{access.reg} << (access.high_byte ? "h" : "")
         << " w" << int{access.width} << " l" << int{access.length};
    if (access.kind == ByteAccess::Kind::kStoreImmediate)
        text << " =" << int{access.immediate};
    return text.str();
}

struct Row {
    const char* hex;
    int bits;  // 64, 32, or 0 for both
    const char* form;
};

const Row kRows[] = {
    // Quorel_in, Quorel_out, Quorel_sts, the commands, Quorel_open2: both DLLs and libquorel.so.
    {"0f b6 00", 0, "movzx r0 w4 l3"},                   // movzbl (%rax),%eax
    {"88 10", 0, "store r2 w1 l2"},                      // mov %dl,(%rax)
    {"0f b6 80 fc 03 00 00", 0, "movzx r0 w4 l7"},       // movzbl 0x3fc(%rax),%eax
    {"c6 80 fc 03 00 00 c0", 0, "imm r0 w1 l7 =192"},    // movb $0xc0,0x3fc(%rax)
    {"0f b6 48 18", 0, "movzx r1 w4 l4"},                // movzbl 0x18(%rax),%ecx
    {"88 93 88 c1 66 63", 32, "store r2 w1 l6"},         // mov %dl,0x6366c188(%ebx)
    {"40 88 30", 64, "store r6 w1 l3"},                  // mov %sil,(%rax)
    // Widths, registers, prefixes.
    {"66 0f b6 00", 0, "movzx r0 w2 l4"},                // movzbw (%rax),%ax
    {"48 0f be 04 24", 64, "movsx r0 w8 l5"},            // movsbq (%rsp),%rax
    {"44 0f b6 4c 8d 10", 64, "movzx r9 w4 l6"},         // movzbl 0x10(%rbp,%rcx,4),%r9d
    {"8a 24 25 00 10 00 00", 0, "load r0h w1 l7"},       // mov 0x1000,%ah (no base: disp32)
    {"40 8a 20", 64, "load r4 w1 l3"},                   // mov (%rax),%spl
    {"41 88 3c 24", 64, "store r7 w1 l4"},               // mov %dil,(%r12)
    {"66 8a 38", 0, "load r3h w1 l3"},                   // 66 changes no byte load
    {"0f b6 05 10 00 00 00", 0, "movzx r0 w4 l7"},       // RIP-relative / absolute
    {"0f be 44 05 00", 0, "movsx r0 w4 l5"},             // SIB base 101 with mod 01: disp8
    {"64 88 10", 0, "store r2 w1 l3"},                   // segment override
    {"67 88 10", 64, "store r2 w1 l3"},                  // 32-bit addressing in 64-bit code
    {"2e 2e 2e 2e 2e 2e 2e 2e 2e 2e 2e 2e 0f b6 00", 0, "movzx r0 w4 l15"},
    // Not ours.
    {"2e 2e 2e 2e 2e 2e 2e 2e 2e 2e 2e 2e 2e 0f b6 00", 0, "not mine"},  // 16 bytes
    {"67 88 10", 32, "not mine"},                        // 16-bit addressing
    {"40 8a 20", 32, "not mine"},                        // inc %eax, then a load
    {"48 66 0f b6 00", 64, "not mine"},                  // REX not right before the opcode
    {"f0 88 10", 0, "not mine"},
    {"f3 88 10", 0, "not mine"},
    {"88 d0", 0, "not mine"},                            // mov %dl,%al
    {"c6 08 05", 0, "not mine"},                         // C6 /1
    {"8b 00", 0, "not mine"},                            // mov (%rax),%eax
    {"0f b7 00", 0, "not mine"},                         // movzwl
    {"0f b6 80 fc 03 00", 0, "not mine"},                // cut short
    {"c6 00", 0, "not mine"},
    {"0f b6 04", 0, "not mine"},
    {"0f", 0, "not mine"},
    {"", 0, "not mine"},
};

TEST(ByteAccess, DecodesTheFormsOfEachBitness) {
    for (const Row& row : kRows)
        for (int bits : {64, 32})
            if (row.bits == 0 || row.bits == bits) {
                EXPECT_EQ(Decode(Bytes(row.hex), bits == 64), row.form) << row.hex << " in " << bits << "-bit code";
            }
}

}  // namespace
}  // namespace quorel::sim::trap
