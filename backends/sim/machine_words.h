// The words of a machine file, one at a time: hex numbers, counts, the
// offset that starts a row, and function addresses as lspci prints them.
// A malformed word throws LineError; the parser adds the file and line.
#ifndef QUOREL_SIM_MACHINE_WORDS_H
#define QUOREL_SIM_MACHINE_WORDS_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "machine.h"

namespace quorel::sim {

// The driver-access library reaches PCI domain 0000 only.
constexpr uint32_t kSimulatedDomain = 0;

// What is wrong with the line being read.
struct LineError {
    std::string what;
};

[[noreturn]] void Fail(std::string what);
std::string Quoted(std::string_view text);  // 'text'

// The words of a line, up to a '#', which starts a comment.
using Tokens = std::vector<std::string_view>;
Tokens Split(std::string_view line);

bool IsHex(std::string_view text);
// Exactly min..max hex digits, no prefix.
bool ParseHexDigits(std::string_view text, size_t min, size_t max, uint32_t* value);
// A directive's hex number: up to max digits, "0x" optional.
uint32_t HexValue(std::string_view text, size_t max_digits);
// A count from 1, in decimal.
uint32_t PositiveDecimal(std::string_view text);

// "10:", "ff0:": the offset that starts a row of hex bytes.
bool IsRowOffset(std::string_view word);
// "00:1f.0", "0000:00:1f.0", or a mistyped one: worth a message about the
// address rather than about the line.
bool LooksLikeAddress(std::string_view word);
// lspci -v and up indent the lines it decodes below each header. The line
// is not empty.
bool IsIndented(std::string_view line);

// A function as a header or directive names it: lspci -D, and lspci on a
// machine with more than one PCI domain, put the domain before the bus.
struct DomainAddress {
    uint32_t domain;
    Address at;
};

// "BB:DD.F" (domain 0000) or "DDDD:BB:DD.F".
DomainAddress ParseDomainAddress(std::string_view text);
// One number per function of any domain, to find it listed twice.
uint64_t DomainAddressKey(const DomainAddress& where);
// "0001", "10000": a domain as lspci prints it.
std::string DomainText(uint32_t domain);

}  // namespace quorel::sim

#endif  // QUOREL_SIM_MACHINE_WORDS_H
