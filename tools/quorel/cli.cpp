#include "cli.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "commands.h"

namespace cli {

namespace {

constexpr unsigned kFunctionBits = 3;
constexpr unsigned kFunctionMask = 7;

}  // namespace

bool ParseNumber(const std::string& text, long long& out) {
    if (text.empty())
        return false;
    bool negative = text[0] == '-';
    std::string digits = negative ? text.substr(1) : text;
    int base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        base = 16;
        digits = digits.substr(2);
    }
    if (digits.empty() || digits[0] == '+' || digits[0] == '-' || digits[0] == ' ')
        return false;
    char* end = nullptr;
    errno = 0;
    long long value = std::strtoll(digits.c_str(), &end, base);
    if (errno != 0 || *end != '\0')
        return false;
    out = negative ? -value : value;
    return true;
}

bool ParseInRange(const std::string& text, long long low, long long high, int& out) {
    long long value = 0;
    if (!ParseNumber(text, value) || value < low || value > high)
        return false;
    out = static_cast<int>(value);
    return true;
}

int UsageError(const Command& command, const std::string& message) {
    std::fprintf(stderr, "quorel %s: %s\nusage: quorel %s %s\n", command.name, message.c_str(),
                 command.name, Usage(command).c_str());
    return kExitUsage;
}

int UsageError(const Args& args, const std::string& message) { return UsageError(*args.command, message); }

std::string Hex(uint64_t value, int digits) {
    char buf[32];
    std::snprintf(buf, sizeof(buf), "%0*llx", digits, static_cast<unsigned long long>(value));
    return buf;
}

std::string PrefixedHex(uint64_t value, int digits) { return "0x" + Hex(value, digits); }

std::string AddressText(const quorel::inspect::Location& at) {
    return Hex(at.bus, 2) + ":" + Hex(at.devfn >> kFunctionBits, 2) + "." + Hex(at.devfn & kFunctionMask, 1);
}

}  // namespace cli
