// How the tool shows base address registers: a function's BARs as `list`
// prints them, decoded from its configuration bytes, and why the library
// does not offer a card's BAR0 to the driver for mapping.
#ifndef QUOREL_TOOLS_BAR_TEXT_H
#define QUOREL_TOOLS_BAR_TEXT_H

#include <string>

#include "api/inspect.h"
#include "cli.h"

namespace commands {

// "[0]=0xfd000000 [2]=io:0xdc00 rom=0xfebc0000"; "-" when none holds an address.
std::string BarsText(const quorel::DeviceRecord* record);
// The same as an array of {"index", "space", "bits", "address"}.
void BarsJson(cli::Json& json, const quorel::DeviceRecord* record);
// BAR0's full base address (0 when unassigned), and as text in the form
// above without the index: "0xfd000000", "0x3fd000000", "io:0xe000".
uint64_t Bar0Address(const quorel::DeviceRecord* record);
std::string Bar0Text(const quorel::DeviceRecord* record);
// Why the library does not map a card's window; "" for BarProblem::kNone.
std::string BarProblemText(quorel::inspect::BarProblem problem);
// BarProblemText of the record's BAR0 when the record is a card the library
// opens; "" for a card it offers to the driver and for any other function.
std::string CardBarProblem(const quorel::DeviceRecord* record);

}  // namespace commands

#endif  // QUOREL_TOOLS_BAR_TEXT_H
