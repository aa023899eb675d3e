// The bus scan: which functions are probed and accepted, what their records
// hold, and how the bus tree follows bridges.
#include <algorithm>
#include <cstring>

#include "scan_fixture.h"

using namespace quorel;
using test_support::MachineBuilder;

namespace {

using Strings = std::vector<std::string>;

bool Contains(const std::vector<unsigned>& v, unsigned x) {
    return std::find(v.begin(), v.end(), x) != v.end();
}

TEST_F(ScanTest, SingleFunctionDeviceHasOnlyFunctionZeroProbed) {
    MachineBuilder m;
    m.Add(0, 2, 0);
    m.Add(0, 2, 1);  // present, but function 0 does not announce more functions
    Scan(m.Text());
    EXPECT_EQ(Locations(), Strings{"00:02.0"});
    EXPECT_TRUE(ReadsOf("00:02.1").empty());
}

TEST_F(ScanTest, MultiFunctionDeviceListsItsFunctionsInOrder) {
    MachineBuilder m;
    m.Add(0, 0x1f, 0).Header(0x80);
    m.Add(0, 0x1f, 3);
    m.Add(0, 0x1f, 2);
    Scan(m.Text());
    EXPECT_EQ(Locations(), (Strings{"00:1f.0", "00:1f.2", "00:1f.3"}));
    EXPECT_EQ(At("00:1f.0")->hdr_type, 0x80u);
}

TEST_F(ScanTest, AbsentFunctionZeroReadingAllOnesHasItsSiblingsProbed) {
    Scan(MachineBuilder().Text());
    EXPECT_TRUE(Locations().empty());
    EXPECT_TRUE(Contains(ReadsOf("00:04.7"), 0x0C));
    EXPECT_EQ(device_list, nullptr);
}

TEST_F(ScanTest, FailedHeaderReadOfFunctionZeroKeepsThePreviousMultiFlag) {
    MachineBuilder m;
    m.Add(0, 1, 0).Header(0x00);  // single function: multi becomes 0
    m.Add(0, 2, 0).Header(0x80);
    m.Add(0, 2, 1);
    m.Directive("fail-read 00:02.0 0x00c");
    Scan(m.Text());
    // Device 2's header never reads, so its function 1 is not probed either.
    EXPECT_EQ(Locations(), Strings{"00:01.0"});
    EXPECT_TRUE(ReadsOf("00:02.1").empty());
}

TEST_F(ScanTest, LastDevfnProbedIs254) {
    MachineBuilder m;
    m.Add(0, 0x1f, 0).Header(0x80);
    m.Add(0, 0x1f, 6);
    m.Add(0, 0x1f, 7);
    Scan(m.Text());
    EXPECT_EQ(Locations(), (Strings{"00:1f.0", "00:1f.6"}));
    EXPECT_TRUE(ReadsOf("00:1f.7").empty());
}

TEST_F(ScanTest, HalfAbsentIdDwordsCountAsAbsent) {
    MachineBuilder m;
    m.Add(0, 1, 0).Dword(0x00, 0x0000FFFF);
    m.Add(0, 2, 0).Dword(0x00, 0xFFFF0000);
    m.Add(0, 3, 0).Dword(0x00, 0x00000000);
    m.Add(0, 4, 0).Ids(0xFFFF, 0x0001);
    Scan(m.Text());
    EXPECT_EQ(Locations(), Strings{"00:04.0"});
}

TEST_F(ScanTest, LayoutAndClassMustAgree) {
    MachineBuilder m;
    m.Add(0, 1, 0, 0x8086, 0x1, 0x060400);                  // layout 0 bridge class
    m.Add(0, 2, 0, 0x8086, 0x2, 0x020000).Header(0x01);     // layout 1, not a bridge
    m.Add(0, 3, 0, 0x8086, 0x3, 0x060400).Header(0x02);     // layout 2, not CardBus
    m.Add(0, 4, 0, 0x8086, 0x4, 0x020000).Header(0x03);     // unknown layout
    m.Add(0, 5, 0, 0x8086, 0x5, 0x060700).Header(0x02).Bar(0, 0xfe000000).Bar(1, 0xfd000000);
    m.Add(0, 6, 0, 0x8086, 0x6, 0x020000).Header(0x7F);
    Scan(m.Text());
    ASSERT_EQ(Locations(), Strings{"00:05.0"});
    const DeviceRecord* cardbus = At("00:05.0");
    EXPECT_EQ(cardbus->bar[0], 0xfe000000u);
    EXPECT_EQ(cardbus->bar[1], 0u);  // one BAR only in layout 2
    EXPECT_EQ(cardbus->rom_bar, 0u);
}

TEST_F(ScanTest, RecordHoldsIdentifiersClassIrqAndConfigCopies) {
    MachineBuilder m;
    m.Add(0, 2, 0, 0x8086, 0x29c2, 0x030000)
        .Dword(0x04, 0x0007)
        .Dword(0x2C, 0x50448086)
        .Byte(0x3C, 11)
        .Byte(0x3D, 1)
        .Bar(0, 0xfe800000)
        .Dword(0x30, 0xfebe0000)
        .Byte(0x08, 0x02);
    m.Add(0, 3, 0).Byte(0x3C, 9).Byte(0x3D, 0).Dword(0x30, 0xFFFFFFFF);
    Scan(m.Text());
    const DeviceRecord* vga = At("00:02.0");
    ASSERT_NE(vga, nullptr);
    EXPECT_EQ(vga->vendor_id, 0x8086);
    EXPECT_EQ(vga->device_id, 0x29c2);
    EXPECT_EQ(vga->subsystem_vendor_id, 0x8086);
    EXPECT_EQ(vga->subsystem_id, 0x5044);
    EXPECT_EQ(vga->class_code, 0x030000u);
    EXPECT_EQ(vga->bus_master, 1u);
    EXPECT_EQ(vga->irq, 11u);
    EXPECT_EQ(vga->bar[0], 0xfe800000u);
    EXPECT_EQ(vga->rom_bar, 0xfebe0000u);
    EXPECT_EQ(vga->config_space[0x08], 0x02);
    EXPECT_EQ(0, memcmp(vga->config_space, vga->config_bytes, 256));
    const DeviceRecord* nic = At("00:03.0");
    EXPECT_EQ(nic->irq, 0u);  // no interrupt pin: the line is not used
    std::vector<unsigned> nic_reads = ReadsOf("00:03.0");
    // The copy and the pin (byte 0x3D travels as dword 0x3C); no line read.
    EXPECT_EQ(std::count(nic_reads.begin(), nic_reads.end(), 0x3Cu), 2);
    EXPECT_EQ(nic->rom_bar, 0u);
    EXPECT_EQ(nic->bus_master, 0u);
}

TEST_F(ScanTest, ConfigCopyStopsAtTheFirstFailedRead) {
    MachineBuilder m;
    m.Add(0, 3, 0).Dword(0x40, 0x11111111).Dword(0x80, 0x22222222).Dword(0xFC, 0x33333333);
    m.Directive("fail-read 00:03.0 0x080");
    Scan(m.Text());
    const DeviceRecord* r = At("00:03.0");
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->config_bytes[0x40], 0x11);
    EXPECT_EQ(r->config_bytes[0x80], 0);
    EXPECT_EQ(r->config_space[0xFC], 0);
    EXPECT_FALSE(Contains(ReadsOf("00:03.0"), 0xFC));
}

TEST_F(ScanTest, FailedClassAndCommandReadsGiveAllOnesValues) {
    MachineBuilder m;
    m.Add(0, 3, 0, 0x8086, 0x1, 0x020000).Dword(0x04, 0);
    // The class dword is read once in the copy and once for the class code.
    m.Directive("fail-read 00:03.0 0x008 2");
    m.Directive("fail-read 00:03.0 0x004 2");
    Scan(m.Text());
    const DeviceRecord* r = At("00:03.0");
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->class_code, 0x00FFFFFFu);
    EXPECT_EQ(r->bus_master, 1u);
    EXPECT_EQ(r->config_bytes[0x0B], 0x02);  // the copy's read succeeded
}

TEST_F(ScanTest, BarsAllOnesAndSixtyFourBit) {
    MachineBuilder m;
    m.Add(0, 1, 0)
        .Bar(0, 0xFFFFFFFF)           // slot stays 0, next read normally
        .Bar(1, 0xfe000004)           // 64-bit, upper half 0
        .Bar(2, 0)
        .Bar(3, 0xfd00000c)           // 64-bit prefetchable above 4 GiB:
        .Bar(4, 0x00000001)           // both slots stay 0
        .Bar(5, 0xe0000004)           // last slot: upper half from 0x28
        .Dword(0x28, 0);
    m.Add(0, 2, 0).Bar(5, 0xe0000004).Dword(0x28, 0x1);
    Scan(m.Text());
    const DeviceRecord* a = At("00:01.0");
    EXPECT_EQ(a->bar[0], 0u);
    EXPECT_EQ(a->bar[1], 0xfe000004u);
    EXPECT_EQ(a->bar[2], 0u);
    EXPECT_EQ(a->bar[3], 0u);
    EXPECT_EQ(a->bar[4], 0u);  // the upper half is never stored
    EXPECT_EQ(a->bar[5], 0xe0000004u);
    EXPECT_EQ(At("00:02.0")->bar[5], 0u);
}

TEST_F(ScanTest, NumberedBridgeLeadsToItsSecondaryBus) {
    MachineBuilder m;
    m.AddBridge(0, 0x1e, 0, 1, 1);
    Scan(m.Text());
    EXPECT_EQ(root_bus.subordinate, 1);
    BusNode* child = root_bus.children;
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->number, 1);
    EXPECT_EQ(child->primary, 0);
    EXPECT_EQ(child->subordinate, 1);
    EXPECT_EQ(child->parent, &root_bus);
    EXPECT_EQ(child->bridge, At("00:1e.0"));
}

TEST_F(ScanTest, BridgeNumbersWinOverTheRunningCount) {
    MachineBuilder m;
    m.AddBridge(0, 0x1e, 0, 5, 5);
    m.Add(5, 0, 0);
    Scan(m.Text());
    EXPECT_EQ(root_bus.subordinate, 5);
    EXPECT_EQ(root_bus.children->number, 5);
    EXPECT_EQ(Locations(), (Strings{"00:1e.0", "05:00.0"}));
}

TEST_F(ScanTest, UnnumberedBridgeIsScannedAsTheNextBus) {
    MachineBuilder m;
    m.AddBridge(0, 0x1e, 0, 0, 0);
    m.Add(1, 0, 0);
    Scan(m.Text());
    BusNode* child = root_bus.children;
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->number, 1);
    EXPECT_EQ(child->primary, 0);
    EXPECT_EQ(child->subordinate, 1);
    EXPECT_EQ(Locations(), (Strings{"00:1e.0", "01:00.0"}));
    EXPECT_EQ(test_support::CountCalls(Calls(), "PciCfgWrite"), 0u);
}

TEST_F(ScanTest, FailedBusNumberReadLeadsToBus255) {
    MachineBuilder m;
    m.AddBridge(0, 0x1e, 0, 1, 1);
    m.Directive("fail-read 00:1e.0 0x018 2");  // the copy reads it first
    Scan(m.Text());
    ASSERT_NE(root_bus.children, nullptr);
    EXPECT_EQ(root_bus.children->number, 255);
    EXPECT_EQ(root_bus.children->subordinate, 255);
}

TEST_F(ScanTest, UnfollowedBridgeKeepsItsRecordButNoBus) {
    MachineBuilder m;
    m.Add(0, 0x1e, 0, 0x8086, 0x84CA, 0x060400).Header(0x01).BusNumbers(0, 1, 1);
    m.Add(1, 0, 0);
    Scan(m.Text());
    EXPECT_EQ(Locations(), Strings{"00:1e.0"});
    EXPECT_EQ(root_bus.children, nullptr);
}

TEST_F(ScanTest, DepthFirstOrderAndNewestChildFirst) {
    MachineBuilder m;
    m.AddBridge(0, 0x01, 0, 1, 2);
    m.AddBridge(0, 0x02, 0, 3, 3);
    m.Add(0, 0x03, 0);
    m.AddBridge(1, 0x00, 1, 2, 2);
    m.Add(1, 0x01, 0);
    m.Add(2, 0x00, 0);
    m.Add(3, 0x00, 0);
    Scan(m.Text());
    EXPECT_EQ(Locations(), (Strings{"00:01.0", "00:02.0", "00:03.0", "01:00.0", "01:01.0",
                                    "02:00.0", "03:00.0"}));
    ASSERT_NE(root_bus.children, nullptr);
    EXPECT_EQ(root_bus.children->number, 3);
    EXPECT_EQ(root_bus.children->next->number, 1);
    EXPECT_EQ(root_bus.subordinate, 3);
}

// A bus already scanned is never scanned again: bridge loops and a second
// path to the same bus would otherwise recurse forever or list functions twice.
TEST_F(ScanTest, BridgeBackToItsOwnBusIsIgnored) {
    MachineBuilder m;
    m.AddBridge(0, 0x1e, 0, 0, 0xFF);  // secondary 0: its own bus
    m.Add(0, 0x02, 0);
    Scan(m.Text());
    EXPECT_EQ(Locations(), (Strings{"00:02.0", "00:1e.0"}));
    EXPECT_EQ(root_bus.children, nullptr);
    EXPECT_EQ(root_bus.subordinate, 0);
}

TEST_F(ScanTest, LoopThroughAChildBusIsIgnored) {
    MachineBuilder m;
    m.AddBridge(0, 0x1e, 0, 1, 1);
    m.AddBridge(1, 0x00, 1, 1, 1);  // points at its own bus
    m.AddBridge(1, 0x01, 1, 0, 0xFF);  // back to bus 0
    m.Add(1, 0x02, 0);
    Scan(m.Text());
    EXPECT_EQ(Locations(), (Strings{"00:1e.0", "01:00.0", "01:01.0", "01:02.0"}));
    ASSERT_NE(root_bus.children, nullptr);
    EXPECT_EQ(root_bus.children->children, nullptr);
}

TEST_F(ScanTest, BusReachedByTwoBridgesIsListedOnce) {
    MachineBuilder m;
    m.AddBridge(0, 0x01, 0, 2, 2);
    m.AddBridge(0, 0x02, 0, 2, 2);
    m.Add(0, 0x03, 0);
    m.Add(2, 0x00, 0, 0x6A5D, 0x0101, 0x118000);
    m.AddBridge(2, 0x01, 0, 0, 0);  // unnumbered: next free number
    Scan(m.Text());
    EXPECT_EQ(Locations(), (Strings{"00:01.0", "00:02.0", "00:03.0", "02:00.0", "02:01.0"}));
    ASSERT_NE(root_bus.children, nullptr);
    EXPECT_EQ(root_bus.children->next, nullptr);  // one child node only
    // The unnumbered bridge behind bus 2 takes the next number, 3.
    ASSERT_NE(root_bus.children->children, nullptr);
    EXPECT_EQ(root_bus.children->children->number, 3);
}

TEST_F(ScanTest, LookupsFollowListOrder) {
    MachineBuilder m;
    m.AddBridge(0, 0x1e, 0, 2, 2);
    m.Add(0, 0x05, 0, 0x6A5D, 0x0101, 0x118000);
    m.Add(2, 0x00, 0, 0x6A5D, 0x0101, 0x118000);
    Scan(m.Text());
    DeviceRecord* first = FindNthById(0x6A5D, 0x0101, 1);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->bus->number, 0);
    EXPECT_EQ(FindNthById(0x6A5D, 0x0101, 2)->bus->number, 2);
    EXPECT_EQ(FindNthById(0x6A5D, 0x0101, 3), nullptr);
    EXPECT_EQ(FindNthById(0x16A5D, 0x0101, 1), nullptr);  // keys above 16 bits match nothing
    EXPECT_EQ(FindNextById(0x6A5D, 0x0101, nullptr), first);
    EXPECT_EQ(FindNextById(0x6A5D, 0x0101, first), FindNthById(0x6A5D, 0x0101, 2));
    EXPECT_EQ(FindNextById(0x6A5D, 0x0101, FindNthById(0x6A5D, 0x0101, 2)), nullptr);
}

TEST_F(ScanTest, FailedInitialisationLeavesAnEmptyListForGood) {
    MachineBuilder m;
    m.Add(0, 1, 0);
    m.Directive("fail-init");
    Scan(m.Text());
    EXPECT_EQ(device_list, nullptr);
    EXPECT_EQ(discovery_done, 1);
    EXPECT_EQ(FindNthById(0x8086, 0x1234, 1), nullptr);
    EXPECT_EQ(FindNextById(0x8086, 0x1234, nullptr), nullptr);
    auto calls = Calls();
    EXPECT_EQ(test_support::CountCalls(calls, "RemoveUlvexaDriver"), 0u);
}

TEST_F(ScanTest, SecondStartOnlyReclassifies) {
    MachineBuilder m;
    m.Add(0, 1, 0);
    Scan(m.Text());
    DeviceRecord* before = device_list;
    log_path_ = test_support::StartSimLog();
    StartDiscovery();
    test_support::StopSimLog();
    EXPECT_EQ(device_list, before);
    EXPECT_TRUE(Calls().empty());
    EXPECT_EQ(driver_open, 0);  // released after the scan
}

}  // namespace
