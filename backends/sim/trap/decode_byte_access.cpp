// decode_byte_access 32|64: reads one instruction per line as hex bytes
// ("0f b6 00", as objdump prints them) and prints how the trap decodes it,
// one line each: the form, the register, the width and the length, or
// "not mine". Exits 2 on a line that is not hex bytes.
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "byte_access.h"

namespace {

using quorel::sim::trap::ByteAccess;

const char* KindName(ByteAccess::Kind kind) {
    static const char* const kNames[] = {"movzx", "movsx", "load", "store", "store-immediate"};
    return kNames[static_cast<int>(kind)];
}

bool ReadHex(const std::string& line, std::vector<uint8_t>* bytes) {
    std::istringstream in(line);
    std::string word;
    while (in >> word) {
        if (word.size() != 2 || word.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
            return false;
        bytes->push_back(static_cast<uint8_t>(std::stoul(word, nullptr, 16)));
    }
    return !bytes->empty();
}

std::string Describe(const std::vector<uint8_t>& bytes, bool long_mode) {
    ByteAccess access;
    if (!quorel::sim::trap::DecodeByteAccess(bytes.data(), bytes.size(), long_mode, &access))
        return "not mine";
    char text[96];
    std::snprintf(text, sizeof(text), "%s reg=%d%s width=%d length=%d", KindName(access.kind), access.reg,
                  access.high_byte ? " high" : "", access.width, access.length);
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string bits = argc == 2 ? argv[1] : "";
    if (bits != "32" && bits != "64") {
        std::cerr << "usage: decode_byte_access 32|64 < instructions (hex bytes, one per line)\n";
        return 2;
    }
    for (std::string line; std::getline(std::cin, line);) {
        std::vector<uint8_t> bytes;
        if (!ReadHex(line, &bytes)) {
            std::cerr << "decode_byte_access: '" << line << "' is not hex bytes such as 0f b6 00\n";
            return 2;
        }
        std::cout << Describe(bytes, bits == "64") << '\n';
    }
    return 0;
}
