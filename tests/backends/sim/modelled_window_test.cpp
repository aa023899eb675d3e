// A card that follows a card model, through the driver's six functions and
// the environment only: under Wine the real Ulvexa DLL catches each access
// with its vectored handler, natively the SIGSEGV handler does.
#include <gtest/gtest.h>

#include <map>
#include <thread>
#include <vector>

#include "card_facts.h"
#include "driver/ulvexa.h"
#include "machine_text.h"
#include "sim_machine.h"

namespace {

namespace card = test_card;

constexpr uint32_t kCardBase = 0xFEBFF000;
constexpr uint8_t kCtrl = 5, kBoardId = 6, kTicks = 9;
constexpr uint8_t kPending = 0x01, kEnable = 0x04;

// CTRL resets to 0x0A; any write to it makes the interrupt pending; TICKS
// counts its reads; the board-ID register is left to the machine file.
constexpr char kModel[] = R"(name = "test card"
[[register]]
name = "CTRL"
index = 5
reset = 0x0A
[[register]]
name = "TICKS"
index = 9
source = { counter = { start = 0, step = 1 } }
[csr]
  [[csr.field]]
  name = "PENDING"
  bits = "0"
  [[csr.field]]
  name = "IE"
  bits = "2"
[[command]]
byte = 0xC0
name = "reset"
actions = ["reset"]
[[command]]
byte = 0x0C
actions = ["set csr.IE"]
[[command]]
byte = 0x03
actions = ["clear csr.PENDING"]
[interrupt]
pending = "csr.PENDING"
enable = "csr.IE"
[[event]]
after_write = "CTRL"
actions = ["set csr.PENDING"]
)";

class ModelledWindow : public testing::Test {
protected:
    void SetUp() override {
        model_ = test_support::TempPath("card.toml");
        test_support::WriteFile(model_, kModel);
        test_support::UseMachine(test_support::FunctionText("00:03.0", card::kVendorId,
                                                            card::kDeviceIdType2, kCardBase) +
                                 "window 00:03.0 0x18 88\nmodel 00:03.0 " + model_ + "\n");
    }
    void TearDown() override {
        test_support::StopSimLog();
        test_support::UseDefaultMachine();
    }

    // The card's registers, mapped after a fresh load.
    volatile uint8_t* Map() {
        EXPECT_EQ(InitializeUlvexa(), 1);
        PhysMapRecord record = {};
        record.length = card::kWindowType2;
        record.phys_addr = kCardBase;
        return MapPhysToLin(&record);
    }

    std::string model_;
};

uint8_t Reg(volatile uint8_t* window, uint8_t index) { return window[index * 4]; }
volatile uint8_t& Csr(volatile uint8_t* window) { return window[card::kCsrOffset]; }

TEST_F(ModelledWindow, BehavesAsItsModelSays) {
    const std::string log = test_support::StartSimLog();
    volatile uint8_t* window = Map();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Reg(window, kCtrl), 0x0A);
    EXPECT_EQ(Reg(window, kBoardId), 0x88);  // the machine file's, kept
    EXPECT_EQ(Reg(window, kTicks), 0);
    EXPECT_EQ(Reg(window, kTicks), 1);
    window[kCtrl * 4] = 0x33;
    EXPECT_EQ(Csr(window), kPending);
    Csr(window) = 0x0C;
    EXPECT_EQ(Csr(window), kPending | kEnable);
    Csr(window) = 0x03;
    EXPECT_EQ(Csr(window), kEnable);
    Csr(window) = 0xC0;  // reset: CTRL, the status and the counter start over
    EXPECT_EQ(Csr(window), 0);
    EXPECT_EQ(Reg(window, kCtrl), 0x0A);
    EXPECT_EQ(Reg(window, kTicks), 0);
    EXPECT_EQ(Reg(window, kBoardId), 0x88);
    window[100] = 0x5A;  // not a register: plain memory
    EXPECT_EQ(window[100], 0x5A);

    const std::string lines = test_support::ReadFile(log);
    EXPECT_NE(lines.find("card 00:03.0: "), std::string::npos) << lines;
    EXPECT_NE(lines.find("CTRL (5)"), std::string::npos) << lines;
    EXPECT_NE(lines.find("interrupt asserted"), std::string::npos) << lines;

    char path[512];
    ASSERT_LT(UlvexaWindowModel(kCardBase, path, sizeof(path)), sizeof(path));
    EXPECT_EQ(std::string(path), model_);
    EXPECT_EQ(UlvexaWindowModel(0x12345000, path, sizeof(path)), 0u);
}

// Two threads the model has never seen read the counter: every read is
// served once, none lost, none answered twice.
TEST_F(ModelledWindow, TwoThreadsShareOneCard) {
#if defined(__linux__) && defined(__i386__)
    GTEST_SKIP() << "qemu-i386, the i386 build's runner, mishandles two threads faulting at once";
#endif
    volatile uint8_t* window = Map();
    ASSERT_NE(window, nullptr);
    constexpr int kReads = 3000;
    std::vector<uint8_t> seen[2];
    auto reader = [window](std::vector<uint8_t>* values) {
        for (int i = 0; i < kReads; ++i)
            values->push_back(Reg(window, kTicks));
    };
    std::thread first(reader, &seen[0]), second(reader, &seen[1]);
    first.join();
    second.join();

    std::map<int, int> count;
    for (const std::vector<uint8_t>& values : seen)
        for (uint8_t value : values)
            ++count[value];
    // 6000 reads of a counter mod 256: each value 23 or 24 times.
    for (int value = 0; value < 256; ++value)
        EXPECT_EQ(count[value], 2 * kReads / 256 + (value < 2 * kReads % 256 ? 1 : 0)) << value;
}

TEST_F(ModelledWindow, RefusedModelLeavesPlainMemory) {
    test_support::WriteFile(model_, std::string(kModel) + "colour = \"red\"\n");
    volatile uint8_t* window = Map();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Reg(window, kCtrl), 0);
    window[kCtrl * 4] = 0x33;
    EXPECT_EQ(Reg(window, kCtrl), 0x33);
    EXPECT_EQ(Csr(window), 0);
    char path[16];
    EXPECT_EQ(UlvexaWindowModel(kCardBase, path, sizeof(path)), 0u);
}

}  // namespace
