// The simulated machine's hardware-like behaviour: configuration accesses
// and the mapping of register windows.
#include <gtest/gtest.h>

#include "card_facts.h"
#include "machine.h"
#include "machine_parser.h"
#include "machine_text.h"

namespace quorel::sim {
namespace {

namespace card = test_card;

constexpr uint32_t kUntouched = 0xDEADBEEF;
constexpr uint32_t kType1Base = 0xFD000000;
constexpr uint32_t kType2Base = 0xFEBFF000;
constexpr uint32_t kOtherBase = 0xFE800000;
constexpr uint32_t kMem64Base = 0xC0000004;  // 64-bit memory BAR, low half
constexpr uint32_t kMem64Upper = 0x00000002;
constexpr uint32_t kIoBar = 0x0000E001;
const Address kType1{0, 5, 0};
const Address kAbsent{0, 6, 0};

class SimulatedMachine : public testing::Test {
protected:
    void SetUp() override {
        using test_support::FunctionText;
        std::string text = FunctionText("00:05.0", card::kVendorId, card::kDeviceIdType1, kType1Base) +
                           FunctionText("00:07.0", card::kVendorId, card::kDeviceIdType2, kType2Base) +
                           FunctionText("00:02.0", 0x8086, 0x29C2, kOtherBase) +
                           FunctionText("00:03.0", 0x10EC, 0x8139, kIoBar) +
                           FunctionText("02:00.0", 0x1AF4, 0x1041, kMem64Base, kMem64Upper);
        std::string error;
        machine_ = ParseMachine(text, "machine", &error);
        ASSERT_TRUE(machine_) << error;
    }

    // Read status, with the value left in *value starting from kUntouched.
    bool Read(const Address& at, uint16_t offset, uint32_t* value) {
        *value = kUntouched;
        return machine_->Read(at, offset, value);
    }

    std::unique_ptr<Machine> machine_;
};

TEST_F(SimulatedMachine, ConfigReadsBehaveLikeThePciBus) {
    uint32_t value;
    ASSERT_TRUE(Read(kType1, 0x00, &value));
    EXPECT_EQ(value, 0x01016A5Du);
    // The low two address bits are ignored: the aligned dword comes back.
    ASSERT_TRUE(Read(kType1, 0x03, &value));
    EXPECT_EQ(value, 0x01016A5Du);
    ASSERT_TRUE(Read(kType1, 0x12, &value));
    EXPECT_EQ(value, kType1Base);
    // Nobody answers for an absent function: all ones, not an error.
    ASSERT_TRUE(Read(kAbsent, 0x00, &value));
    EXPECT_EQ(value, 0xFFFFFFFFu);

    // Addresses no configuration cycle can carry fail and touch nothing.
    EXPECT_FALSE(Read({0, 32, 0}, 0x00, &value));
    EXPECT_FALSE(Read({0, 5, 8}, 0x00, &value));
    EXPECT_FALSE(Read(kType1, 0x1000, &value));
    EXPECT_EQ(value, kUntouched);
    EXPECT_TRUE(Read(kType1, 0xFFF, &value));
    EXPECT_EQ(value, 0u);
}

TEST_F(SimulatedMachine, ConfigWritesStoreTheAlignedDword) {
    uint32_t value;
    EXPECT_TRUE(machine_->Write(kType1, 0x06, 0x00000007));
    ASSERT_TRUE(Read(kType1, 0x04, &value));
    EXPECT_EQ(value, 7u);
    EXPECT_TRUE(machine_->Write(kAbsent, 0x04, 7));  // dropped on the bus
    ASSERT_TRUE(Read(kAbsent, 0x04, &value));
    EXPECT_EQ(value, 0xFFFFFFFFu);
    EXPECT_FALSE(machine_->Write(kType1, 0x1000, 7));
    EXPECT_FALSE(machine_->Write({0, 5, 8}, 0x04, 7));
}

TEST_F(SimulatedMachine, MapsOneWindowPerFunction) {
    uint8_t* window = machine_->Map(card::kWindowType1, kType1Base);
    ASSERT_NE(window, nullptr);
    window[card::kWindowType1 - 1] = 0x5A;  // plain memory: the store stays
    EXPECT_EQ(machine_->Map(card::kWindowType1, kType1Base), window);
    EXPECT_EQ(machine_->Map(0x400, kType1Base), window);
    EXPECT_EQ(window[card::kWindowType1 - 1], 0x5A);
    EXPECT_EQ(window[0], 0);

    EXPECT_NE(machine_->Map(card::kWindowType2, kType2Base), nullptr);
    EXPECT_NE(machine_->Map(kWindowOther, kOtherBase), nullptr);
    uint64_t mem64 = uint64_t{kMem64Upper} << 32 | (kMem64Base & card::kBarAddressMask);
    EXPECT_NE(machine_->Map(kWindowOther, mem64), nullptr);
}

TEST_F(SimulatedMachine, RefusesMappingsNoBarDecodes) {
    // Longer than the function decodes.
    EXPECT_EQ(machine_->Map(card::kWindowType1 + 1, kType1Base), nullptr);
    EXPECT_EQ(machine_->Map(card::kWindowType2 + 1, kType2Base), nullptr);
    EXPECT_EQ(machine_->Map(kWindowOther + 1, kOtherBase), nullptr);
    // Not a base address: inside a window, unknown, zero, an I/O BAR, or a
    // 64-bit BAR's low half alone.
    EXPECT_EQ(machine_->Map(card::kWindowType2, kType1Base + 0x1000), nullptr);
    EXPECT_EQ(machine_->Map(card::kWindowType2, 0x12345000), nullptr);
    EXPECT_EQ(machine_->Map(card::kWindowType2, 0), nullptr);
    EXPECT_EQ(machine_->Map(4, kIoBar & card::kBarAddressMask), nullptr);
    EXPECT_EQ(machine_->Map(kWindowOther, kMem64Base & card::kBarAddressMask), nullptr);
}

TEST_F(SimulatedMachine, BarWrittenAfterLoadMovesTheWindow) {
    constexpr uint32_t kMoved = 0xFA000000;
    ASSERT_TRUE(machine_->Write(kType1, 0x10, kMoved));
    EXPECT_EQ(machine_->Map(card::kWindowType1, kType1Base), nullptr);
    EXPECT_NE(machine_->Map(card::kWindowType1, kMoved), nullptr);
}

}  // namespace
}  // namespace quorel::sim
