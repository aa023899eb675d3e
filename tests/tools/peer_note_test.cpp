// `quorel list` and `quorel cards` on a machine with peer root buses: the
// note naming what the scan misses, and the opt-in that finds it.
#include <gtest/gtest.h>

#include "machine_text.h"
#include "sim_machine.h"
#include "tool_runner.h"

using test_support::RunTool;

namespace {

TEST(PeerBusNote, NamesWhatTheScanMissesUntilTheOptInFindsIt) {
    test_support::MachineBuilder m;
    m.Add(0x00, 5, 0, 0x6A5D, 0x0101, 0x118000).Bar(0, 0xfd000000);
    m.Add(0x40, 0, 0, 0x8086, 0x2020, 0x060000);
    m.Add(0x40, 2, 0, 0x6A5D, 0x0101, 0x118000).Bar(0, 0xe0000000);
    m.Add(0x80, 0, 0, 0x8086, 0x1010, 0x020000);
    const std::string machine = test_support::TempPath("machine");
    test_support::WriteFile(machine, m.Text());
    const std::string note =
        "note: 3 functions on bus 40 and bus 80 are not reached from bus 0 (a card there is "
        "found only with QUOREL_SCAN_PEER_BUSES=1): 40:00.0 8086:2020, 40:02.0 6a5d:0101, "
        "80:00.0 8086:1010\n";
    const std::string cards = "POS  TYPE  LOCATION  BAR0        WINDOW\n"
                              "0    1     00:05.0   0xfd000000  0x400000\n";
    for (const char* command : {"list", "list --json", "cards"}) {
        auto run = RunTool(command, machine);
        EXPECT_EQ(run.err, note) << command;
        EXPECT_EQ(run.out.find("40:02.0"), std::string::npos) << run.out;
        EXPECT_EQ(run.out.find("\"bus\": 64"), std::string::npos) << run.out;
    }
    EXPECT_EQ(RunTool("cards", machine).out, cards);
    auto found = RunTool("cards", machine, "QUOREL_SCAN_PEER_BUSES=1");
    EXPECT_EQ(found.out, cards + "1    1     40:02.0   0xe0000000  0x400000\n");
    EXPECT_EQ(found.err, "");
    EXPECT_EQ(RunTool("cards").err, "");  // the default machine has bus 0 only
}

}  // namespace
