// How the tool shows base address registers: a function's BARs as `list`
// prints them, and why the library does not offer a card's BAR0 to the
// driver for mapping.
#ifndef QUOREL_TOOLS_BAR_TEXT_H
#define QUOREL_TOOLS_BAR_TEXT_H

#include <string>

#include "api/inspect.h"
#include "json_text.h"

namespace commands {

// "[0]=0xfd000000 [2]=io:0xdc00 rom=0xfebc0000"; "-" when none holds an address.
std::string BarsText(const quorel::inspect::Function& function);
// The same as an array of {"index", "space", "bits", "address"}.
cli::Json BarsJson(const quorel::inspect::Function& function);
// BAR0's full base address (0 when unassigned), and as text in the form
// above without the index: "0xfd000000", "0x3fd000000", "io:0xe000".
uint64_t Bar0Address(const quorel::inspect::Function& function);
std::string Bar0Text(const quorel::inspect::Function& function);
// Why the library does not map a card's window; "" for BarProblem::kNone.
std::string BarProblemText(quorel::inspect::BarProblem problem);

}  // namespace commands

#endif  // QUOREL_TOOLS_BAR_TEXT_H
