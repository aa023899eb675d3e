// Machine files: PCI configuration dumps as lspci -x, -xxx or -xxxx prints
// them, with or without -v and -D, so that a real machine can be replayed
// from what its owner sent, plus directive lines for
// what a dump cannot say (initial register-window bytes, failing reads, a
// failing driver start, a refused mapping). docs/stand-in.md has the format.
#ifndef QUOREL_SIM_MACHINE_PARSER_H
#define QUOREL_SIM_MACHINE_PARSER_H

#include <memory>
#include <string>
#include <string_view>

#include "machine.h"

namespace quorel::sim {

// The whole machine, or null and "<source>:<line>: <what is wrong>" in
// *error: a malformed file is refused as a whole, never half loaded.
// Functions of PCI domains other than 0000 are left out of the machine;
// *warning (when given) then says how many of which domains, else is empty.
std::unique_ptr<Machine> ParseMachine(std::string_view text, const std::string& source,
                                      std::string* error, std::string* warning = nullptr);

// "BB:DD.F", as lspci prints a function's address.
std::string FormatAddress(const Address& at);

}  // namespace quorel::sim

#endif  // QUOREL_SIM_MACHINE_PARSER_H
