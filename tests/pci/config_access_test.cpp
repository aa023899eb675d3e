// Configuration reads and writes on top of the driver's dword primitive:
// which offset reaches the driver, which lane comes back, what a failure
// leaves behind.
#include "scan_fixture.h"

using namespace quorel;
using test_support::MachineBuilder;

namespace {

constexpr uint8_t kBus = 0;
constexpr uint8_t kDevfn = 3 << 3;  // 00:03.0

class ConfigAccessTest : public ScanTest {
protected:
    // One function at 00:03.0 with known dwords; driver access opened.
    ::testing::AssertionResult Open(const std::string& extra_directive = "") {
        MachineBuilder m;
        m.Add(0, 3, 0).Dword(0x0C, 0x44332211).Dword(0x3C, 0x88776655).Dword(0x00, 0xBBAA1234);
        if (!extra_directive.empty())
            m.Directive(extra_directive);
        test_support::UseMachine(m.Text());
        log_path_ = test_support::StartSimLog();
        if (OpenDriver())
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "driver access did not open";
    }
    std::vector<unsigned> SentOffsets() const { return ReadsOf("00:03.0"); }
};

TEST_F(ConfigAccessTest, ByteAndWordReadsSendTheAlignedOffsetAndPickTheLane) {
    ASSERT_TRUE(Open());
    uint8_t b = 0;
    uint16_t w = 0;
    EXPECT_TRUE(CfgReadByte(kBus, kDevfn, 0x0E, &b));
    EXPECT_EQ(b, 0x33);  // bits 16..23 of dword 0x0C
    EXPECT_TRUE(CfgReadByte(kBus, kDevfn, 0x3D, &b));
    EXPECT_EQ(b, 0x66);  // bits 8..15 of dword 0x3C
    EXPECT_TRUE(CfgReadWord(kBus, kDevfn, 0x02, &w));
    EXPECT_EQ(w, 0xBBAA);
    EXPECT_TRUE(CfgReadWord(kBus, kDevfn, 0x03, &w));  // bit 0 of the offset is ignored
    EXPECT_EQ(w, 0xBBAA);
    EXPECT_EQ(SentOffsets(), (std::vector<unsigned>{0x0C, 0x3C, 0x00, 0x00}));
}

TEST_F(ConfigAccessTest, DwordReadSendsTheOffsetUnaligned) {
    ASSERT_TRUE(Open());
    uint32_t d = 0;
    EXPECT_TRUE(CfgReadDword(kBus, kDevfn, 0x0E, &d));
    EXPECT_EQ(SentOffsets(), (std::vector<unsigned>{0x0E}));
}

TEST_F(ConfigAccessTest, EightBitOffsetVariantsWrapAt256) {
    ASSERT_TRUE(Open());
    uint8_t b = 0;
    uint32_t d = 0;
    EXPECT_TRUE(PciReadByte(kBus, kDevfn, 0x10F, &b));
    EXPECT_EQ(b, 0x44);
    EXPECT_TRUE(PciReadDword(kBus, kDevfn, 0x13C, &d));
    EXPECT_EQ(d, 0x88776655u);
    EXPECT_EQ(SentOffsets(), (std::vector<unsigned>{0x0C, 0x3C}));
}

TEST_F(ConfigAccessTest, FailedReadsReportOneAndLeaveAllOnes) {
    ASSERT_TRUE(Open("fail-read 00:03.0 0x00c"));
    uint8_t b = 0x12;
    uint16_t w = 0x1234;
    uint32_t d = 0x12345678;
    EXPECT_FALSE(CfgReadByte(kBus, kDevfn, 0x0E, &b));
    EXPECT_EQ(b, 0xFF);
    EXPECT_FALSE(CfgReadWord(kBus, kDevfn, 0x0C, &w));
    EXPECT_EQ(w, 0xFFFF);
    EXPECT_FALSE(CfgReadDword(kBus, kDevfn, 0x0C, &d));
    EXPECT_EQ(d, 0xFFFFFFFFu);
}

TEST_F(ConfigAccessTest, ReadsFailWhileDriverAccessIsClosed) {
    ASSERT_TRUE(Open());
    RemoveDriver();
    uint32_t d = 0;
    EXPECT_FALSE(CfgReadDword(kBus, kDevfn, 0x00, &d));
    EXPECT_EQ(d, 0xFFFFFFFFu);
}

TEST_F(ConfigAccessTest, OpenTwiceInitialisesOnceAndRemoveWithoutOpenCallsNothing) {
    test_support::UseMachine(MachineBuilder().Text());
    log_path_ = test_support::StartSimLog();
    RemoveDriver();
    EXPECT_TRUE(OpenDriver());
    EXPECT_TRUE(OpenDriver());
    EXPECT_EQ(driver_open, 1);
    RemoveDriver();
    RemoveDriver();
    EXPECT_EQ(driver_open, 0);
    auto calls = Calls();
    EXPECT_EQ(test_support::CountCalls(calls, "InitializeUlvexa"), 1u);
    EXPECT_EQ(test_support::CountCalls(calls, "RemoveUlvexaDriver"), 1u);
}

TEST_F(ConfigAccessTest, FailedInitialisationLeavesDriverClosed) {
    test_support::UseMachine(MachineBuilder().Directive("fail-init").Text());
    log_path_ = test_support::StartSimLog();
    EXPECT_FALSE(OpenDriver());
    EXPECT_EQ(driver_open, 0);
    RemoveDriver();
    EXPECT_EQ(test_support::CountCalls(Calls(), "RemoveUlvexaDriver"), 0u);
}

#ifdef QUOREL_HAS_CFG_WRITERS
TEST_F(ConfigAccessTest, ByteAndWordWritesMergeIntoTheDwordAsRead) {
    ASSERT_TRUE(Open());
    uint32_t d = 0;
    EXPECT_TRUE(CfgWriteByte(kBus, kDevfn, 0x3D, 0xEE));
    CfgReadDword(kBus, kDevfn, 0x3C, &d);
    EXPECT_EQ(d, 0x8877EE55u);
    EXPECT_TRUE(CfgWriteByte(kBus, kDevfn, 0x3F, 0x99));
    CfgReadDword(kBus, kDevfn, 0x3C, &d);
    EXPECT_EQ(d, 0x9977EE55u);
    EXPECT_TRUE(CfgWriteWord(kBus, kDevfn, 0x0E, 0xCAFE));  // dword 0x0C, high word
    CfgReadDword(kBus, kDevfn, 0x0C, &d);
    EXPECT_EQ(d, 0xCAFE2211u);
}

TEST_F(ConfigAccessTest, WriteWhosePreliminaryReadFailsWritesNothing) {
    ASSERT_TRUE(Open("fail-read 00:03.0 0x03c 1"));
    EXPECT_FALSE(CfgWriteByte(kBus, kDevfn, 0x3D, 0xEE));
    uint32_t d = 0;
    CfgReadDword(kBus, kDevfn, 0x3C, &d);
    EXPECT_EQ(d, 0x88776655u);
    EXPECT_EQ(test_support::CountCalls(Calls(), "PciCfgWrite"), 0u);
}
#endif

}  // namespace
