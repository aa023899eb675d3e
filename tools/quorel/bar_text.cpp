#include "bar_text.h"

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
inspect::DecodedBar Bar0(const quorel::DeviceRecord* record) {
    const std::vector<inspect::DecodedBar> bars = inspect::DecodeBars(record);
    return !bars.empty() && bars[0].index == 0 ? bars[0] : inspect::DecodedBar{0, false, false, 0};
}

bool IsCard(const quorel::DeviceRecord* record) {
    int32_t type = 0;
    for (int32_t position = 0; const quorel::DeviceRecord* card = inspect::CardAt(position, &type);
         ++position)
        if (card == record)
            return true;
    return false;
}

}  // namespace

std::string BarsText(const quorel::DeviceRecord* record) {
    std::string text;
    for (const inspect::DecodedBar& bar : inspect::DecodeBars(record))
        text += " " + BarText(bar);
    if ((record->rom_bar & kRomAddressMask) != 0)
        text += " rom=" + cli::PrefixedHex(record->rom_bar & kRomAddressMask, kMemoryDigits);
    return text.empty() ? "-" : text.substr(1);
}

void BarsJson(cli::Json& json, const quorel::DeviceRecord* record) {
    json.BeginArray();
    for (const inspect::DecodedBar& bar : inspect::DecodeBars(record))
        json.BeginObject()
            .Key("index").Int(bar.index)
            .Key("space").String(bar.io ? "io" : "memory")
            .Key("bits").Int(bar.wide ? kWideBits : kNarrowBits)
            .Key("address").Uint(bar.address)
            .EndObject();
    json.EndArray();
}

uint64_t Bar0Address(const quorel::DeviceRecord* record) { return Bar0(record).address; }

std::string Bar0Text(const quorel::DeviceRecord* record) { return AddressText(Bar0(record)); }

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

std::string CardBarProblem(const quorel::DeviceRecord* record) {
    return IsCard(record) ? BarProblemText(inspect::CheckBar0(record)) : "";
}

}  // namespace commands
