// A card a trace recorded, replayed through the driver's six functions and
// the environment only: under Wine in the real Ulvexa DLL.
#include <gtest/gtest.h>

#include "card_facts.h"
#include "driver/ulvexa.h"
#include "machine_text.h"
#include "sim_machine.h"
#include "trace_text.h"

namespace {

namespace card = test_card;

constexpr uint32_t kCardBase = 0xFEBFF000;
const char kOpened[] = "    card 0: 00:03.0, type 2, BAR0 0xFEBFF000";
const char kMapped[] = "    MapPhysToLin(address 0xFEBFF000, length 0x400) = 0x1000";

class ReplayedWindow : public testing::Test {
protected:
    void TearDown() override {
        test_support::StopSimLog();
        test_support::SetEnv("QUOREL_SIM_REPLAY", nullptr);
        test_support::UseDefaultMachine();
    }

    // The card's registers, mapped after a fresh load replaying `lines`;
    // `more`: more lines of the machine file.
    volatile uint8_t* Replay(const std::vector<std::string>& lines, const std::string& more = "") {
        test_support::UseMachine(test_support::FunctionText("00:03.0", card::kVendorId,
                                                            card::kDeviceIdType2, kCardBase) +
                                 "window 00:03.0 0x18 88\n" + more);
        const std::string trace = test_support::TempPath("trace.txt");
        test_support::WriteFile(trace, test_support::TraceText(lines));
        test_support::SetEnv("QUOREL_SIM_REPLAY", trace.c_str());
        EXPECT_EQ(InitializeUlvexa(), 1);
        PhysMapRecord record = {};
        record.length = card::kWindowType2;
        record.phys_addr = kCardBase;
        return MapPhysToLin(&record);
    }
};

uint8_t Reg(volatile uint8_t* window, uint8_t index) { return window[index * 4]; }
volatile uint8_t& Csr(volatile uint8_t* window) { return window[card::kCsrOffset]; }

TEST_F(ReplayedWindow, ServesTheRecordedReadsAndSaysTheFirstWriteThatDiffers) {
    const std::string log = test_support::StartSimLog();
    volatile uint8_t* window =
        Replay({"Quorel_open(0) = 0", kOpened, kMapped, "Quorel_in(5) = 0x10", "Quorel_out(5, 0x22) = 0",
                "Quorel_in(5) = 0x11", "Quorel_sts() = 0x40", "Quorel_ackint() = 0"});
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Reg(window, 5), 0x10);
    window[5 * 4] = 0x22;
    EXPECT_EQ(Reg(window, 5), 0x11);
    EXPECT_EQ(Reg(window, 5), 0x11);  // the last again
    EXPECT_EQ(Reg(window, 6), 0x88);  // not recorded: the machine file's
    window[9 * 4] = 0x5A;
    EXPECT_EQ(Reg(window, 9), 0x5A);  // not recorded: plain memory
    EXPECT_EQ(Csr(window), 0x40);
    Csr(window) = 0x03;
    const std::string lines = test_support::ReadFile(log);
    EXPECT_EQ(test_support::Count(lines, "differences unreported"), 1u) << lines;
    EXPECT_NE(lines.find("card 00:03.0: replay: a write of 0x5A to register 9 where "), std::string::npos);
    EXPECT_NE(lines.find(".txt:9 (#6) has Quorel_ackint(), a write of 0x03 to the control/status "
                         "register"), std::string::npos) << lines;
}

TEST_F(ReplayedWindow, HandsOverToTheCardsModel) {
    const std::string model = test_support::TempPath("card.toml");
    test_support::WriteFile(model, "[[register]]\nname = \"TICKS\"\nindex = 9\n"
                                   "source = { counter = { start = 0, step = 1 } }\n");
    volatile uint8_t* window = Replay({"Quorel_open(0) = 0", kOpened, kMapped, "Quorel_in(9) = 0x40",
                                       "Quorel_in(9) = 0x41"}, "model 00:03.0 " + model + "\n");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Reg(window, 9), 0x40);
    EXPECT_EQ(Reg(window, 9), 0x41);
    EXPECT_EQ(Reg(window, 9), 2);  // the model counted the two reads before
}

}  // namespace
