// Up to four cards filed by the board ID each reports, against simulated
// machines.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <optional>

#include "api/card_state.h"
#include "api/pacing.h"
#include "card_fixture.h"
#include "quorel.h"

namespace card_test {
namespace {

using quorel::CardSlots;
using quorel::CardType;
using quorel::RegisterWindow;
using quorel::SelectedDevice;

using Valid = std::array<int, 4>;

struct Card {
    const char* at;
    unsigned device;
    uint32_t bar;
    unsigned board_register;  // byte at window offset 24
    unsigned status;          // byte at the control/status offset
};

class MultiCardTest : public CardAccessTest {
protected:
    void UseCards(std::initializer_list<Card> cards, const char* extra_line = nullptr) {
        MachineText machine;
        machine_init(&machine);
        machine_host_bridge(&machine);
        for (const Card& c : cards) {
            machine_card(&machine, c.at, c.device, c.bar);
            machine_window_byte(&machine, c.at, CARD_BOARD_ID_OFFSET, c.board_register);
            machine_window_byte(&machine, c.at, CARD_CSR_OFFSET, c.status);
        }
        if (extra_line)
            machine_line(&machine, extra_line);
        Use(machine);
    }
    // The flags Quorel_getvalidid2 fills in; none when it does not return 0.
    static std::optional<Valid> ValidIds() {
        Valid ids{-1, -1, -1, -1};
        if (Quorel_getvalidid2(ids.data()) != 0)
            return std::nullopt;
        return ids;
    }
};

TEST_F(MultiCardTest, BoardIdComesFromBitsSevenAndThree) {
    UseCards({{"00:04.0", CARD_TYPE1, 0xFD000000, 0x08, 0x41},
              {"00:05.0", CARD_TYPE1, 0xFC000000, 0x80, 0x42},
              {"00:06.0", CARD_TYPE1, 0xFB000000, 0x77, 0x43},  // neither bit: board 0
              {"00:07.0", CARD_TYPE1, 0xFA000000, 0x88, 0x44}});
    EXPECT_EQ(Quorel_open2(), 0);
    EXPECT_EQ(ValidIds(), (Valid{1, 1, 1, 1}));
    const unsigned status_by_board[] = {0x43, 0x41, 0x42, 0x44};
    for (int board = 0; board < 4; ++board) {
        SCOPED_TRACE(board);
        EXPECT_EQ(CardSlots[board].board_id, board);
        EXPECT_EQ(Quorel_in2(board, 6), CardSlots[board].window[CARD_BOARD_ID_OFFSET]);
        EXPECT_EQ(Quorel_sts(), status_by_board[board]);
    }
    EXPECT_EQ(CardSlots[3].device->devfn, 7u << 3);
}

TEST_F(MultiCardTest, TwoBoardsReportingTwoAndZero) {
    UseCards({{"00:04.0", CARD_TYPE1, 0xFD000000, 0x80, 0x12},
              {"00:05.0", CARD_TYPE1, 0xFC000000, 0x00, 0x10}});
    EXPECT_EQ(Quorel_open2(), 0);
    EXPECT_EQ(ValidIds(), (Valid{1, 0, 1, 0}));
    // The single-card operations address the card mapped last.
    EXPECT_EQ(RegisterWindow, CardSlots[0].window);
    EXPECT_EQ(CardType, 1);
    EXPECT_EQ(SelectedDevice, nullptr);  // the search for a third card failed
}

TEST_F(MultiCardTest, NoCardFilesNothingButSetsTheScale) {
    UseCards({});
    EXPECT_EQ(Quorel_open2(), 1);
    EXPECT_EQ(ValidIds(), (Valid{0, 0, 0, 0}));
    EXPECT_GT(quorel::MicrosPerTick, 0.0);
    EXPECT_EQ(RegisterWindow, nullptr);
}

TEST_F(MultiCardTest, EmptyOrOutOfRangeBoardLeavesRegisterWindow) {
    UseCards({{"00:04.0", CARD_TYPE1, 0xFD000000, 0x80, 0x12},
              {"00:05.0", CARD_TYPE1, 0xFC000000, 0x00, 0x10}});
    ASSERT_EQ(Quorel_open2(), 0);
    ASSERT_EQ(Quorel_in2(2, 0), 0);
    uint8_t* window = RegisterWindow;
    for (int board : {1, 3, -1, 4, INT_MAX, INT_MIN}) {
        SCOPED_TRACE(board);
        EXPECT_EQ(Quorel_in2(board, 0), 1);
        EXPECT_EQ(Quorel_out2(board, 0, 0x55), 1);
        EXPECT_EQ(RegisterWindow, window);
    }
    EXPECT_EQ(Quorel_sts(), 0x12);
    EXPECT_EQ(Quorel_in(0), 0);
}

TEST_F(MultiCardTest, IndexOfStatusRegisterStillSelectsTheBoard) {
    UseCards({{"00:04.0", CARD_TYPE1, 0xFD000000, 0x80, 0x12},
              {"00:05.0", CARD_TYPE1, 0xFC000000, 0x00, 0x10}});
    ASSERT_EQ(Quorel_open2(), 0);
    EXPECT_EQ(Quorel_in2(2, 255), 1);
    EXPECT_EQ(RegisterWindow, CardSlots[2].window);
    EXPECT_EQ(Quorel_sts(), 0x12);
    EXPECT_EQ(Quorel_out2(0, 511, 0x99), 1);
    EXPECT_EQ(Quorel_sts(), 0x10);
    EXPECT_EQ(Quorel_out2(0, 256 + 9, 0x1C3), 0);
    EXPECT_EQ(CardSlots[0].window[9 * 4], 0xC3);
    EXPECT_EQ(Quorel_in2(0, 9), 0xC3);
}

TEST_F(MultiCardTest, CloseKeepsTheTableCloseTwoEmptiesIt) {
    UseCards({{"00:04.0", CARD_TYPE1, 0xFD000000, 0x88, 0x33}});
    ASSERT_EQ(Quorel_open2(), 0);
    EXPECT_EQ(Quorel_close(), 0);
    EXPECT_EQ(RegisterWindow, nullptr);
    EXPECT_EQ(ValidIds(), (Valid{0, 0, 0, 1}));
    EXPECT_EQ(Quorel_in2(3, 6), 0x88);  // selects the board again
    EXPECT_EQ(Quorel_sts(), 0x33);

    EXPECT_EQ(Quorel_close2(), 0);
    EXPECT_EQ(ValidIds(), (Valid{0, 0, 0, 0}));
    EXPECT_EQ(CardSlots[3].window, nullptr);
    EXPECT_EQ(CardSlots[3].device, nullptr);
    EXPECT_EQ(CardSlots[3].board_id, 0);
    EXPECT_EQ(Quorel_in2(3, 6), 1);
    EXPECT_EQ(Quorel_out2(3, 6, 0), 1);
    EXPECT_EQ(Quorel_in(6), 1);
    EXPECT_EQ(Quorel_sts(), 1);
    EXPECT_EQ(Calls("ShutdownUlvexa("), 2);
}

TEST_F(MultiCardTest, OnlyTheFirstFourCardsAreConsidered) {
    // Search order puts the type-2 card at 00:03.0 last: it is the fifth.
    UseCards({{"00:03.0", CARD_TYPE2, 0xFEBFF000, 0x88, 0},
              {"00:04.0", CARD_TYPE1, 0xFD000000, 0x00, 0},
              {"00:05.0", CARD_TYPE1, 0xFC000000, 0x08, 0},
              {"00:06.0", CARD_TYPE1, 0xFB000000, 0x80, 0},
              {"00:07.0", CARD_TYPE1, 0xFA000000, 0x80, 0}});
    EXPECT_EQ(Quorel_open2(), 0);
    EXPECT_EQ(ValidIds(), (Valid{1, 1, 1, 0}));
    EXPECT_EQ(Calls("MapPhysToLin("), 4);
    EXPECT_EQ(CardType, 1);
    // 00:07.0 reports board 2 too and, later in search order, replaces 00:06.0.
    EXPECT_EQ(CardSlots[2].device->devfn, 7u << 3);
    EXPECT_EQ(RegisterWindow, CardSlots[2].window);
}

TEST_F(MultiCardTest, UnmappableCardIsSkippedAsIfAbsent) {
    UseCards({{"00:03.0", CARD_TYPE2, 0xFEBFF000, 0x88, 0},
              {"00:04.0", CARD_TYPE1, 0xFD000000, 0x08, 0},
              {"00:05.0", CARD_TYPE1, 0x0000E001, 0x00, 0}},  // I/O BAR
             "refuse-map 00:03.0");
    EXPECT_EQ(Quorel_open2(), 0);
    EXPECT_EQ(ValidIds(), (Valid{0, 1, 0, 0}));
    EXPECT_EQ(CardType, 1);  // the refused type-2 card left no trace
    EXPECT_EQ(RegisterWindow, CardSlots[1].window);
    EXPECT_EQ(Calls("MapPhysToLin("), 2);
}

TEST_F(MultiCardTest, NewOpenKeepsEarlierEntries) {
    UseCards({{"00:04.0", CARD_TYPE1, 0xFD000000, 0x88, 0}});
    ASSERT_EQ(Quorel_open2(), 0);
    uint8_t* board3 = CardSlots[3].window;
    quorel::internal::ResetDiscovery();  // the next open sees another machine
    UseCards({{"00:09.0", CARD_TYPE1, 0xF9000000, 0x00, 0}});
    EXPECT_EQ(Quorel_open2(), 0);
    EXPECT_EQ(ValidIds(), (Valid{1, 0, 0, 1}));
    EXPECT_EQ(CardSlots[3].window, board3);
}

TEST_F(MultiCardTest, NullIdsPointerWritesNothing) {
    EXPECT_EQ(Quorel_getvalidid2(nullptr), 1);
}

}  // namespace
}  // namespace card_test
