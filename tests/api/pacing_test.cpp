// The busy-wait after accesses to type-2 cards, timed by a scripted
// performance counter (the native test double).
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <limits>

#include "api/card_state.h"
#include "api/pacing.h"
#include "card_fixture.h"
#include "native_winapi/controls/fake_windows.h"
#include "quorel.h"

namespace card_test {
namespace {

using fake_windows::CounterReads;
using quorel::DelayMicroseconds;
using quorel::MicrosPerTick;

constexpr int64_t kOneMegahertz = 1000000;  // one tick per microsecond
constexpr int64_t kTenMegahertz = 10000000;
constexpr int kType1Position = 0;
constexpr int kType2Position = 2;

class PacingTest : public CardAccessTest {
protected:
    PacingTest() { fake_windows::Reset(); }
    ~PacingTest() override { fake_windows::Reset(); }

    // A counter that advances one tick per reading, at 1 MHz.
    void UseSteppingCounter() {
        fake_windows::SetCounterFrequency(kOneMegahertz);
        fake_windows::SetCounterSource([this] { return ticks_++; });
    }
    // Counter readings taken by `action`.
    template <typename Action>
    uint64_t ReadsDuring(Action action) {
        const uint64_t before = CounterReads();
        action();
        return CounterReads() - before;
    }

    int64_t ticks_ = 1000;
};

TEST_F(PacingTest, ScaleUsesTheWholeFrequency) {
    UseStandardMachine();
    const struct {
        int64_t hz;
        double micros_per_tick;
    } cases[] = {
        {kTenMegahertz, 0.1},
        {int64_t{1} << 32, 1e6 / 4294967296.0},           // low half is zero
        {(int64_t{1} << 32) + kTenMegahertz, 1e6 / 4304967296.0},
        {int64_t{3579545}, 1e6 / 3579545.0},              // the ACPI timer's rate
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.hz);
        fake_windows::SetCounterFrequency(c.hz);
        ASSERT_EQ(Quorel_open(kType1Position), 0);
        EXPECT_DOUBLE_EQ(MicrosPerTick, c.micros_per_tick);
    }
}

TEST_F(PacingTest, ScaleIsSetOnlyBySuccessfulOpen) {
    MachineText machine;
    machine_init(&machine);
    AddStandardCards(machine);
    machine_line(&machine, "refuse-map 00:03.0");
    Use(machine);
    EXPECT_EQ(Quorel_open(kType2Position), 2);
    EXPECT_EQ(Quorel_open(5), 1);
    EXPECT_EQ(MicrosPerTick, 0.0);
    ASSERT_EQ(Quorel_open(kType1Position), 0);
    EXPECT_DOUBLE_EQ(MicrosPerTick, 0.1);
    fake_windows::SetCounterFrequency(kOneMegahertz);
    EXPECT_EQ(Quorel_close(), 0);
    EXPECT_DOUBLE_EQ(MicrosPerTick, 0.1);
}

TEST_F(PacingTest, CounterWithoutFrequencyEndsPauseAfterOneReading) {
    UseStandardMachine();
    fake_windows::SetCounterFrequency(0);
    ASSERT_EQ(Quorel_open(kType1Position), 0);
    EXPECT_TRUE(std::isinf(MicrosPerTick));
    EXPECT_EQ(ReadsDuring([] { DelayMicroseconds(1000.0); }), 2u);
}

TEST_F(PacingTest, PauseCountsTicksSinceItsFirstReading) {
    UseSteppingCounter();
    MicrosPerTick = 1.0;
    EXPECT_EQ(ReadsDuring([] { DelayMicroseconds(0.0); }), 0u);
    EXPECT_EQ(ReadsDuring([] { DelayMicroseconds(-0.0); }), 0u);
    EXPECT_EQ(ReadsDuring([] { DelayMicroseconds(-5.0); }), 2u);
    EXPECT_EQ(ReadsDuring([] { DelayMicroseconds(std::nan("")); }), 2u);
    EXPECT_EQ(ReadsDuring([] { DelayMicroseconds(1.0); }), 2u);
    EXPECT_EQ(ReadsDuring([] { DelayMicroseconds(5.0); }), 6u);
    EXPECT_EQ(ReadsDuring([] { DelayMicroseconds(50.5); }), 52u);
}

TEST_F(PacingTest, CounterWrapDoesNotEndThePauseEarly) {
    uint64_t now = std::numeric_limits<int64_t>::max() - 2;
    fake_windows::SetCounterSource([&now] { return static_cast<int64_t>(now++); });
    MicrosPerTick = 1.0;
    EXPECT_EQ(ReadsDuring([] { DelayMicroseconds(5.0); }), 6u);
}

TEST_F(PacingTest, Type2ReadsPauseOneMicrosecondWritesTheSetting) {
    UseStandardMachine();
    UseSteppingCounter();
    ASSERT_EQ(Quorel_open(kType2Position), 0);
    EXPECT_EQ(ReadsDuring([] { Quorel_in(1); }), 2u);
    EXPECT_EQ(ReadsDuring([] { Quorel_out(1, 0); }), 2u);  // default 1.0

    EXPECT_EQ(Quorel_setwr2wrdly(50.5), 0);
    EXPECT_EQ(ReadsDuring([] { Quorel_out(1, 0); }), 52u);
    EXPECT_EQ(ReadsDuring([] { Quorel_in(1); }), 2u);

    EXPECT_EQ(Quorel_setwr2wrdly(0.0), 0);
    EXPECT_EQ(ReadsDuring([] { Quorel_out(1, 0); }), 0u);
    EXPECT_EQ(ReadsDuring([] { Quorel_in(1); }), 2u);
}

TEST_F(PacingTest, RefusedAndControlAccessesAreNotPaced) {
    UseStandardMachine();
    UseSteppingCounter();
    ASSERT_EQ(Quorel_open(kType2Position), 0);
    EXPECT_EQ(ReadsDuring([] {
                  Quorel_in(255);
                  Quorel_out(255, 0);
                  Quorel_srst();
                  Quorel_enint();
                  Quorel_disint();
                  Quorel_ackint();
                  Quorel_sts();
              }),
              0u);
}

TEST_F(PacingTest, Type1CardIsNeverPaced) {
    UseStandardMachine();
    UseSteppingCounter();
    ASSERT_EQ(Quorel_setwr2wrdly(1000.0), 0);
    ASSERT_EQ(Quorel_open(kType1Position), 0);
    EXPECT_EQ(ReadsDuring([] {
                  Quorel_out(1, 0);
                  Quorel_in(1);
              }),
              0u);
}

TEST_F(PacingTest, DelaySetBeforeOpenAndKeptAcrossClose) {
    UseStandardMachine();
    UseSteppingCounter();
    ASSERT_EQ(Quorel_setwr2wrdly(7.0), 0);
    ASSERT_EQ(Quorel_open(kType2Position), 0);
    EXPECT_EQ(ReadsDuring([] { Quorel_out(1, 0); }), 8u);
    ASSERT_EQ(Quorel_close(), 0);
    EXPECT_EQ(quorel::Wr2WrDelay, 7.0);
    ASSERT_EQ(Quorel_open(kType2Position), 0);
    EXPECT_EQ(ReadsDuring([] { Quorel_out(1, 0); }), 8u);
}

TEST_F(PacingTest, BoardsArePacedByTheLibraryWideCardType) {
    MachineText machine;
    machine_init(&machine);
    AddStandardCards(machine);
    machine_window_byte(&machine, kFirstType1At, CARD_BOARD_ID_OFFSET, 0x08);
    machine_window_byte(&machine, kType2At, CARD_BOARD_ID_OFFSET, 0x88);
    Use(machine);
    UseSteppingCounter();
    ASSERT_EQ(Quorel_open2(), 0);  // boards 0 (00:07.0), 1 (00:05.0), 3 (00:03.0)
    EXPECT_EQ(quorel::CardType, 2);
    for (int board : {0, 1, 3}) {
        SCOPED_TRACE(board);
        EXPECT_EQ(ReadsDuring([board] { Quorel_in2(board, 1); }), 2u);
        EXPECT_EQ(ReadsDuring([board] { Quorel_out2(board, 1, 0); }), 2u);
    }
    EXPECT_EQ(ReadsDuring([] { Quorel_in2(2, 1); }), 0u);  // empty board

    ASSERT_EQ(Quorel_open(kType1Position), 0);  // CardType 1 again
    EXPECT_EQ(ReadsDuring([] { Quorel_out2(3, 1, 0); }), 0u);
}

// Against the clock-driven counter: a lower bound only.
TEST_F(PacingTest, WriteTakesAtLeastTheDelay) {
    UseStandardMachine();
    ASSERT_EQ(Quorel_setwr2wrdly(50.5), 0);
    ASSERT_EQ(Quorel_open(kType2Position), 0);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(Quorel_out(1, 0), 0);
    const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
    // The 10 MHz counter floors to 0.1 us at each end.
    EXPECT_GE(took.count(), 50.3);
}

}  // namespace
}  // namespace card_test
