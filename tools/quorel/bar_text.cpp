#include "bar_text.h"

#include "cli.h"

namespace commands {

namespace {

namespace inspect = quorel::inspect;

constexpr int kMemoryDigits = 8;
constexpr int kIoDigits = 4;
constexpr uint32_t kRomAddressMask = 0xFFFFF800;
constexpr int kNarrowBits = 32;
constexpr int kWideBits = 64;

std::string AddressText(const inspect::DecodedBar& bar) {
    return (bar.io ? "io:" : "") + cli::PrefixedHex(bar.address, bar.io ? kIoDigits : kMemoryDigits);
}

std::string BarText(const inspect::DecodedBar& bar) {
    return "[" + std::to_string(bar.index) + "]=" + AddressText(bar);
}

// BAR0 decoded; a memory BAR at 0 when it holds no address.
inspect::DecodedBar Bar0(const inspect::Function& f) {
    return !f.bars.empty() && f.bars[0].index == 0 ? f.bars[0] : inspect::DecodedBar{0, false, false, 0};
}

}  // namespace

std::string BarsText(const inspect::Function& f) {
    std::string text;
    for (const inspect::DecodedBar& bar : f.bars)
        text += " " + BarText(bar);
    if ((f.rom_bar & kRomAddressMask) != 0)
        text += " rom=" + cli::PrefixedHex(f.rom_bar & kRomAddressMask, kMemoryDigits);
    return text.empty() ? "-" : text.substr(1);
}

cli::Json BarsJson(const inspect::Function& f) {
    cli::Json json = cli::Json::array();
    for (const inspect::DecodedBar& bar : f.bars)
        json.push_back({{"index", bar.index},
                        {"space", bar.io ? "io" : "memory"},
                        {"bits", bar.wide ? kWideBits : kNarrowBits},
                        {"address", bar.address}});
    return json;
}

uint64_t Bar0Address(const inspect::Function& f) { return Bar0(f).address; }

std::string Bar0Text(const inspect::Function& f) { return AddressText(Bar0(f)); }

std::string BarProblemText(inspect::BarProblem problem) {
    switch (problem) {
    case inspect::BarProblem::kUnassigned:
        return "BAR0 is unassigned (no base address)";
    case inspect::BarProblem::kIoSpace:
        return "BAR0 is in I/O space, not memory";
    case inspect::BarProblem::kAbove4GiB:
        return "BAR0 lies above 4 GiB, which the driver's map record cannot address";
    case inspect::BarProblem::kNone:
        break;
    }
    return "";
}

}  // namespace commands
