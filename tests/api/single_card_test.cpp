// Opening one card by position, its byte registers and the control/status
// register, against simulated machines.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "api/card_state.h"
#include "card_fixture.h"
#include "quorel.h"

namespace card_test {
namespace {

using quorel::CardType;
using quorel::WindowMapRecord;
using quorel::RegisterWindow;
using quorel::SelectedDevice;

constexpr unsigned kSentinel = 0xA5;
constexpr unsigned kSentinelSpan = CARD_CSR_OFFSET + 4;

uint32_t Devfn(unsigned device) { return device << 3; }

class SingleCardTest : public CardAccessTest {};

TEST_F(SingleCardTest, PositionsCountType1CardsFirstThenType2) {
    UseStandardMachine();
    struct Expected {
        int position;
        uint32_t devfn;
        uint64_t length;
        uint64_t base;
        int32_t type;
    };
    const Expected cases[] = {
        {0, Devfn(5), CARD_WINDOW_TYPE1, kFirstType1Bar, 1},
        {1, Devfn(7), CARD_WINDOW_TYPE1, kSecondType1Base, 1},
        {2, Devfn(3), CARD_WINDOW_TYPE2, kType2Bar, 2},
    };
    for (const Expected& c : cases) {
        SCOPED_TRACE(c.position);
        ASSERT_EQ(Quorel_open(c.position), 0);
        ASSERT_NE(SelectedDevice, nullptr);
        EXPECT_EQ(SelectedDevice->devfn, c.devfn);
        EXPECT_EQ(WindowMapRecord.length, c.length);
        EXPECT_EQ(WindowMapRecord.phys_addr, c.base);
        EXPECT_EQ(CardType, c.type);
        EXPECT_NE(RegisterWindow, nullptr);
    }
    EXPECT_EQ(Calls("MapPhysToLin("), 3);
}

TEST_F(SingleCardTest, PositionWithoutCardKeepsEarlierCardOpen) {
    UseStandardMachine();
    ASSERT_EQ(Quorel_open(0), 0);
    uint8_t* window = RegisterWindow;
    for (int position : {3, -1, INT_MAX, INT_MIN}) {
        SCOPED_TRACE(position);
        EXPECT_EQ(Quorel_open(position), 1);
        EXPECT_EQ(SelectedDevice, nullptr);
        EXPECT_EQ(RegisterWindow, window);
        EXPECT_EQ(CardType, 1);
    }
    EXPECT_EQ(Quorel_out(2, 0x5C), 0);
    EXPECT_EQ(Quorel_in(2), 0x5C);
    EXPECT_EQ(Calls("MapPhysToLin("), 1);
}

TEST_F(SingleCardTest, MachineWithoutCardsOrDriverFindsNothing) {
    MachineText machine;
    machine_init(&machine);
    machine_host_bridge(&machine);
    Use(machine);
    EXPECT_EQ(Quorel_open(0), 1);
    EXPECT_EQ(CardType, 0);

    quorel::internal::ResetDiscovery();
    machine_init(&machine);
    AddStandardCards(machine);
    machine_line(&machine, "fail-init");
    Use(machine);
    EXPECT_EQ(Quorel_open(0), 1);
    EXPECT_EQ(RegisterWindow, nullptr);
}

TEST_F(SingleCardTest, RegisterIsOneByteAtIndexTimesFour) {
    MachineText machine;
    machine_init(&machine);
    AddStandardCards(machine);
    machine_window_fill(&machine, kType2At, 0, kSentinelSpan, kSentinel);
    machine_window_byte(&machine, kType2At, 12, 0x3C);
    Use(machine);
    ASSERT_EQ(Quorel_setwr2wrdly(0), 0);
    ASSERT_EQ(Quorel_open(2), 0);

    EXPECT_EQ(Quorel_in(3), 0x3C);
    EXPECT_EQ(Quorel_out(5, 0x1AB), 0);   // value counts by its low byte
    EXPECT_EQ(Quorel_out(256 + 7, 0x11), 0);  // index too: register 7
    EXPECT_EQ(Quorel_out(-256, 0x22), 0);     // and register 0
    for (uint32_t offset = 0; offset < kSentinelSpan; ++offset) {
        SCOPED_TRACE(offset);
        switch (offset) {
        case 0: EXPECT_EQ(WindowByte(offset), 0x22); break;
        case 12: EXPECT_EQ(WindowByte(offset), 0x3C); break;
        case 20: EXPECT_EQ(WindowByte(offset), 0xAB); break;
        case 28: EXPECT_EQ(WindowByte(offset), 0x11); break;
        default: EXPECT_EQ(WindowByte(offset), kSentinel);
        }
    }
    EXPECT_EQ(Quorel_in(256 + 5), 0xAB);
}

TEST_F(SingleCardTest, IndexOfStatusRegisterIsRefused) {
    MachineText machine;
    machine_init(&machine);
    AddStandardCards(machine);
    machine_window_fill(&machine, kFirstType1At, 0, kSentinelSpan, kSentinel);
    Use(machine);
    ASSERT_EQ(Quorel_open(0), 0);
    for (int index : {255, 511, -1, INT_MAX}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(Quorel_in(index), 1);
        EXPECT_EQ(Quorel_out(index, 0), 1);
    }
    for (uint32_t offset = 0; offset < kSentinelSpan; ++offset)
        ASSERT_EQ(WindowByte(offset), kSentinel) << offset;
}

TEST_F(SingleCardTest, ControlStatusCommandsWriteOneByte) {
    MachineText machine;
    machine_init(&machine);
    AddStandardCards(machine);
    machine_window_fill(&machine, kType2At, CARD_CSR_OFFSET - 4, 8, kSentinel);
    Use(machine);
    ASSERT_EQ(Quorel_open(2), 0);
    EXPECT_EQ(Quorel_sts(), kSentinel);
    const struct {
        int (QUOREL_CALL* command)();
        uint8_t byte;
    } commands[] = {{Quorel_srst, 0xC0}, {Quorel_enint, 0x0C}, {Quorel_disint, 0x08},
                    {Quorel_ackint, 0x03}};
    for (const auto& c : commands) {
        EXPECT_EQ(c.command(), 0);
        EXPECT_EQ(Quorel_sts(), c.byte);
    }
    for (uint32_t offset = CARD_CSR_OFFSET - 4; offset < CARD_CSR_OFFSET + 4; ++offset) {
        if (offset == CARD_CSR_OFFSET)
            continue;
        EXPECT_EQ(WindowByte(offset), kSentinel) << offset;
    }
}

TEST_F(SingleCardTest, StatusByteOneLooksLikeFailure) {
    MachineText machine;
    machine_init(&machine);
    AddStandardCards(machine);
    machine_window_byte(&machine, kFirstType1At, CARD_CSR_OFFSET, 1);
    Use(machine);
    EXPECT_EQ(Quorel_sts(), 1);
    ASSERT_EQ(Quorel_open(0), 0);
    EXPECT_EQ(Quorel_sts(), 1);
}

// What in, out, srst, enint, disint, ackint and sts return, in that order.
std::vector<int> RegisterOperationResults() {
    return {Quorel_in(0), Quorel_out(0, 0), Quorel_srst(), Quorel_enint(),
            Quorel_disint(), Quorel_ackint(), Quorel_sts()};
}
const std::vector<int> kEveryOneRefused(7, 1);

TEST_F(SingleCardTest, BeforeAnyOpenNothingIsTouched) {
    UseStandardMachine();
    EXPECT_EQ(RegisterOperationResults(), kEveryOneRefused);
    EXPECT_EQ(Quorel_close(), 0);
    EXPECT_EQ(Calls("InitializeUlvexa("), 0);
    EXPECT_EQ(Calls("MapPhysToLin("), 0);
}

TEST_F(SingleCardTest, RefusedMappingClosesAndKeepsTheSearchResult) {
    MachineText machine;
    machine_init(&machine);
    AddStandardCards(machine);
    machine_line(&machine, "refuse-map 00:03.0");
    Use(machine);
    ASSERT_EQ(Quorel_open(0), 0);
    EXPECT_EQ(Quorel_open(2), 2);
    EXPECT_EQ(RegisterWindow, nullptr);
    EXPECT_EQ(CardType, 2);
    ASSERT_NE(SelectedDevice, nullptr);
    EXPECT_EQ(SelectedDevice->devfn, Devfn(3));
    EXPECT_EQ(RegisterOperationResults(), kEveryOneRefused);
}

TEST_F(SingleCardTest, UnmappableBarIsNeverHandedToTheDriver) {
    const uint32_t bars[] = {0x00000000, 0x0000000C, 0x0000E001, 0xFD000001};
    for (uint32_t bar : bars) {
        SCOPED_TRACE(bar);
        quorel::internal::ResetDiscovery();
        quorel::internal::ResetCardAccess();
        MachineText machine;
        machine_init(&machine);
        machine_host_bridge(&machine);
        machine_card(&machine, kFirstType1At, CARD_TYPE1, bar);
        Use(machine);
        EXPECT_EQ(Quorel_open(0), 2);
        EXPECT_EQ(RegisterWindow, nullptr);
        EXPECT_EQ(CardType, 1);
    }
    EXPECT_EQ(Calls("MapPhysToLin("), 0);
}

TEST_F(SingleCardTest, CloseKeepsDiscoveryAndReopenDoesNotRescan) {
    UseStandardMachine();
    ASSERT_EQ(Quorel_open(1), 0);
    uint8_t* window = RegisterWindow;
    const quorel::DeviceRecord* card = SelectedDevice;
    const int scan_reads = Calls("PciCfgRead(");
    EXPECT_GT(scan_reads, 0);

    EXPECT_EQ(Quorel_close(), 0);
    EXPECT_EQ(RegisterWindow, nullptr);
    EXPECT_EQ(SelectedDevice, card);
    EXPECT_EQ(CardType, 1);
    EXPECT_EQ(Calls("ShutdownUlvexa("), 1);
    EXPECT_EQ(RegisterOperationResults(), kEveryOneRefused);

    EXPECT_EQ(Quorel_open(1), 0);
    EXPECT_EQ(RegisterWindow, window);  // the simulator maps the same memory again
    EXPECT_EQ(Quorel_open(3), 1);
    EXPECT_EQ(Calls("InitializeUlvexa("), 1);
    EXPECT_EQ(Calls("RemoveUlvexaDriver("), 1);
    EXPECT_EQ(Calls("PciCfgRead("), scan_reads);
    EXPECT_EQ(Calls("MapPhysToLin("), 2);
}

TEST(LibVersionTest, ReportsOnePointZeroOne) {
    int major = -1, minor = -1;
    testing::internal::CaptureStdout();
    EXPECT_EQ(Quorel_LibVersion(&major, &minor), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Velmar QUOREL DLL V1.01\n");
    EXPECT_EQ(major, 1);
    EXPECT_EQ(minor, 1);
}

TEST(LibVersionTest, NullPointerWritesAndPrintsNothing) {
    int value = -1;
    testing::internal::CaptureStdout();
    EXPECT_EQ(Quorel_LibVersion(nullptr, &value), 1);
    EXPECT_EQ(Quorel_LibVersion(&value, nullptr), 1);
    EXPECT_EQ(Quorel_LibVersion(nullptr, nullptr), 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(value, -1);
}

}  // namespace
}  // namespace card_test
