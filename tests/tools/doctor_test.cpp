// `quorel doctor` over the stand-in, one broken set-up per row: the exit
// code and the verdict on its last line.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "machine_text.h"
#include "sim_machine.h"
#include "tool_runner.h"

namespace {

using test_support::MachineBuilder;

constexpr char kOneCardDump[] = "tests/data/replay/card-on-bus-03.lspci-vvxxx-s.txt";

// A host bridge and one type-1 card at 00:05.0 whose BAR0 the row sets.
std::string CardWithBars(uint32_t bar0, uint32_t bar1 = 0, const std::string& directive = "") {
    MachineBuilder m;
    m.Add(0, 0, 0, 0x8086, 0x29c0, 0x060000);
    m.Add(0, 5, 0, 0x6A5D, 0x0101, 0x118000).Bar(0, bar0).Bar(1, bar1);
    if (!directive.empty())
        m.Directive(directive);
    return m.Text();
}

std::string HostBridge(const std::string& directive) {
    MachineBuilder m;
    m.Add(0, 0, 0, 0x8086, 0x29c0, 0x060000);
    return m.Directive(directive).Text();
}

struct Case {
    const char* name;
    std::function<std::string()> machine;  // machine text; empty: a file or the default
    const char* machine_file;              // of the repository, when no text
    const char* args;
    const char* env;
    int exit_code;
    const char* last_line;  // what the verdict says
};

const Case kCases[] = {
    {"default machine", nullptr, "", "doctor", "", 0, "verdict: 3 of 3 cards open"},
    {"driver does not initialise", [] { return HostBridge("fail-init"); }, "", "doctor", "", 1,
     "the driver-access library did not initialise (InitializeUlvexa returned 0)"},
    {"nothing answers", [] { return HostBridge("fail-read 00:00.0 0x0c"); }, "", "doctor", "", 1,
     "initialised, but no configuration read found a function on any bus"},
    {"one card's dump", nullptr, kOneCardDump, "doctor", "", 1,
     "1 function on bus 03 is not reached from bus 0 (a card there is found only with "
     "QUOREL_SCAN_PEER_BUSES=1): 03:00.0 6a5d:0101"},
    {"one card's dump, opted in", nullptr, kOneCardDump, "doctor", "QUOREL_SCAN_PEER_BUSES=1", 0,
     "verdict: 1 of 1 cards open"},
    {"no card", [] { return HostBridge(""); }, "", "doctor", "", 1,
     "none of the 1 PCI functions found is a QUOREL card"},
    {"BAR unassigned", [] { return CardWithBars(0); }, "", "doctor", "", 1,
     "card 0 at 00:05.0: BAR0 is unassigned"},
    {"I/O BAR", [] { return CardWithBars(0xe001); }, "", "doctor", "", 1,
     "card 0 at 00:05.0: BAR0 is in I/O space"},
    {"above 4 GiB", [] { return CardWithBars(0xfd000004, 0x1); }, "", "doctor", "", 1,
     "card 0 at 00:05.0: BAR0 lies above 4 GiB"},
    {"map refused", [] { return CardWithBars(0xfd000000, 0, "refuse-map 00:05.0"); }, "", "doctor",
     "", 1, "card 0 at 00:05.0: the driver-access library refused to map it"},
    {"as JSON", [] { return CardWithBars(0); }, "", "doctor --json", "", 1,
     R"j("window": "does not map: BAR0 is unassigned (no base address)", "registry": )j"},
};

std::string LastLine(std::string out) {
    while (!out.empty() && out.back() == '\n')
        out.pop_back();
    return out.substr(out.rfind('\n') + 1);  // npos + 1: the whole text
}

TEST(Doctor, NamesWhatKeepsEachSetUpFromOpeningACard) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        std::string machine;
        if (c.machine) {
            machine = test_support::TempPath("machine");
            test_support::WriteFile(machine, c.machine());
        } else if (*c.machine_file) {
            machine = test_support::SourcePath(c.machine_file);
        }
        const auto run = test_support::RunTool(c.args, machine, c.env);
        EXPECT_EQ(run.exit_code, c.exit_code) << run.out << run.err;
        EXPECT_NE(LastLine(run.out).find(c.last_line), std::string::npos) << run.out;
    }
}

}  // namespace
