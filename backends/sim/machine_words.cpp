#include "machine_words.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>

namespace quorel::sim {

namespace {

constexpr size_t kAddressLength = 7;    // "BB:DD.F"
constexpr size_t kMaxDomainDigits = 8;  // lspci prints at least four: 0000, 10000

[[noreturn]] void BadAddress(std::string_view text) {
    Fail("bad function address " + Quoted(text) + ", expected BB:DD.F or DDDD:BB:DD.F such as 00:1f.0");
}

Address ParseBusDeviceFunction(std::string_view text, std::string_view whole) {
    uint32_t bus = 0, device = 0, function = 0;
    if (text.size() != kAddressLength || text[2] != ':' || text[5] != '.' ||
        !ParseHexDigits(text.substr(0, 2), 2, 2, &bus) ||
        !ParseHexDigits(text.substr(3, 2), 2, 2, &device) ||
        !ParseHexDigits(text.substr(6, 1), 1, 1, &function))
        BadAddress(whole);
    if (device > kMaxDevice)
        Fail("device number in " + Quoted(whole) + " is above 1f");
    if (function > kMaxFunction)
        Fail("function number in " + Quoted(whole) + " is above 7");
    return Address{static_cast<uint8_t>(bus), static_cast<uint8_t>(device),
                   static_cast<uint8_t>(function)};
}

}  // namespace

[[noreturn]] void Fail(std::string what) { throw LineError{std::move(what)}; }

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

Tokens Split(std::string_view line) {
    Tokens tokens;
    size_t at = 0;
    while (true) {
        at = line.find_first_not_of(" \t\r", at);
        if (at == std::string_view::npos || line[at] == '#')
            return tokens;  // a '#' starts a comment
        size_t end = std::min(line.find_first_of(" \t\r#", at), line.size());
        tokens.push_back(line.substr(at, end - at));
        at = end;
    }
}

bool IsHex(std::string_view text) {
    for (char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    }
    return !text.empty();
}

bool ParseHexDigits(std::string_view text, size_t min, size_t max, uint32_t* value) {
    if (text.size() < min || text.size() > max || !IsHex(text))
        return false;
    std::from_chars(text.data(), text.data() + text.size(), *value, 16);
    return true;
}

uint32_t HexValue(std::string_view text, size_t max_digits) {
    std::string_view digits = text;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X'))
        digits.remove_prefix(2);
    uint32_t value = 0;
    if (!ParseHexDigits(digits, 1, max_digits, &value))
        Fail("bad hex number " + Quoted(text));
    return value;
}

uint32_t PositiveDecimal(std::string_view text) {
    uint32_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value == 0)
        Fail("bad count " + Quoted(text) + ", expected a decimal number from 1");
    return value;
}

uint64_t DomainAddressKey(const DomainAddress& where) {
    return uint64_t{where.domain} << 16 | uint32_t{where.at.bus} << 8 |
           uint32_t{where.at.device} << 3 | where.at.function;
}

std::string DomainText(uint32_t domain) {
    char text[16];
    std::snprintf(text, sizeof(text), "%04x", domain);
    return text;
}

bool IsRowOffset(std::string_view word) {
    return word.size() > 1 && word.back() == ':' && IsHex(word.substr(0, word.size() - 1));
}

bool LooksLikeAddress(std::string_view word) {
    size_t colon = word.find(':');
    return colon != std::string_view::npos && word.find('.', colon) != std::string_view::npos;
}

bool IsIndented(std::string_view line) { return line.front() == ' ' || line.front() == '\t'; }

DomainAddress ParseDomainAddress(std::string_view text) {
    DomainAddress where{kSimulatedDomain, {}};
    std::string_view rest = text;
    size_t colon = rest.find(':');
    if (colon != rest.rfind(':')) {
        if (!ParseHexDigits(rest.substr(0, colon), 1, kMaxDomainDigits, &where.domain))
            BadAddress(text);
        rest.remove_prefix(colon + 1);
    }
    where.at = ParseBusDeviceFunction(rest, text);
    return where;
}

}  // namespace quorel::sim
