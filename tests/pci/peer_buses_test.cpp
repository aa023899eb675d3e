// Peer root buses: the opt-in probe of buses no bridge from bus 0 leads to,
// and the same probe run aside for the tool's note.
#include "api/inspect.h"
#include "scan_fixture.h"

using namespace quorel;
using test_support::MachineBuilder;

namespace {

using Strings = std::vector<std::string>;

class PeerScanTest : public ScanTest {
protected:
    void TearDown() override {
        OptIn(nullptr);
        ScanTest::TearDown();
    }
    // Stated here, not taken from the library: it is what users type.
    static void OptIn(const char* value) { test_support::SetEnv("QUOREL_SCAN_PEER_BUSES", value); }
};

// Root complexes at 0x00, 0x40 and 0x80. On 0x40 a bridge to 0x41 with a
// type-1 card, and one to 0xA0, a number the probe reaches only after 0x80.
MachineBuilder ThreeRoots() {
    MachineBuilder m;
    m.Add(0x00, 5, 0, 0x6A5D, 0x0101, 0x118000);
    m.Add(0x40, 0, 0);
    m.AddBridge(0x40, 3, 0x40, 0x41, 0x41);
    m.AddBridge(0x40, 4, 0x40, 0xA0, 0xA0);
    m.Add(0x41, 0, 0, 0x6A5D, 0x0101, 0x118000);
    m.Add(0x80, 2, 0, 0x6A5D, 0x494F, 0x118000);
    m.Add(0xA0, 0, 0);
    return m;
}
const Strings kPeerFunctions{"40:00.0", "40:03.0", "40:04.0", "41:00.0", "a0:00.0", "80:02.0"};

TEST_F(PeerScanTest, OptInScansEachUnreachedRootBusOnceAsARootOfItsOwn) {
    OptIn("1");
    Scan(ThreeRoots().Text());
    Strings expected{"00:05.0"};
    expected.insert(expected.end(), kPeerFunctions.begin(), kPeerFunctions.end());
    EXPECT_EQ(Locations(), expected);
    const BusNode* bus80 = root_bus.children;  // newest first
    ASSERT_NE(bus80, nullptr);
    const BusNode* bus40 = bus80->next;
    ASSERT_NE(bus40, nullptr);
    EXPECT_EQ(bus40->next, nullptr);  // 0xA0 hangs under 0x40 only
    for (const BusNode* peer : {bus40, bus80}) {
        EXPECT_EQ(peer->bridge, nullptr);
        EXPECT_EQ(peer->primary, peer->number);
        EXPECT_EQ(peer->secondary, peer->number);
    }
    EXPECT_EQ(bus40->number, 0x40);
    EXPECT_EQ(bus40->subordinate, 0xA0);
    EXPECT_EQ(bus80->number, 0x80);
    EXPECT_EQ(root_bus.subordinate, 0);  // bus 0's own hierarchy
    EXPECT_EQ(FindNthById(0x6A5D, 0x0101, 2), At("41:00.0"));
    EXPECT_TRUE(inspect::UnreachedFunctions().empty());
}

// A host bridge posing as a PCI-to-PCI bridge the scan never follows; on
// the bus behind it a bridge without bus numbers.
TEST_F(PeerScanTest, OptInFindsTheBusBehindAnUnfollowedHostBridge) {
    MachineBuilder m;
    m.Add(0, 0, 0, 0x1166, 0x0008, 0x060400).Header(0x01).BusNumbers(0, 1, 1);
    m.AddBridge(1, 1, 0, 0, 0);
    m.Add(2, 0, 0, 0x6A5D, 0x0101, 0x118000);
    OptIn("1");
    Scan(m.Text());
    EXPECT_EQ(Locations(), (Strings{"00:00.0", "01:01.0", "02:00.0"}));
    const BusNode* bus1 = root_bus.children;
    ASSERT_NE(bus1, nullptr);
    EXPECT_EQ(bus1->bridge, nullptr);
    ASSERT_NE(bus1->children, nullptr);
    EXPECT_EQ(bus1->children->number, 2);  // the next number after its root
    EXPECT_EQ(bus1->children->primary, 1);
    EXPECT_EQ(bus1->subordinate, 2);
}

// Without the opt-in a machine with peer buses is read exactly as the same
// machine without them.
TEST_F(PeerScanTest, WithoutOptInNotOneReadMore) {
    MachineBuilder base;
    base.AddBridge(0, 0x1e, 0, 1, 1);
    base.Add(1, 0, 0);
    MachineBuilder peers = base;
    peers.Add(0x40, 0, 0);
    Scan(base.Text());
    const std::string expected = Calls();
    for (const char* value : {(const char*)nullptr, "", "0", "11", "true"}) {
        SCOPED_TRACE(value ? value : "(unset)");
        internal::ResetDiscovery();
        OptIn(value);
        Scan(peers.Text());
        EXPECT_EQ(Calls(), expected);
    }
}

// The aside probe behind the tool's note: what the opt-in would add, while
// the device list, the tree and the driver stay as discovery left them.
TEST_F(PeerScanTest, UnreachedFunctionsLeaveDiscoveryAsItWas) {
    Scan(ThreeRoots().Text());
    const DeviceRecord* card = device_list;
    for (int round = 0; round < 2; ++round) {  // the buses it scanned stay unseen
        Strings found;
        for (const inspect::PeerFunction& f : inspect::UnreachedFunctions())
            found.push_back(test_support::LocationText(f.bus, f.devfn >> 3, f.devfn & 7));
        EXPECT_EQ(found, kPeerFunctions);
    }
    EXPECT_EQ(inspect::UnreachedFunctions().back().device_id, 0x494F);
    EXPECT_EQ(Locations(), Strings{"00:05.0"});
    EXPECT_EQ(device_list_tail, &card->next);
    EXPECT_EQ(root_bus.children, nullptr);
    EXPECT_EQ(driver_open, 0);
}

}  // namespace
