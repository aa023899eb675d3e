// The functions of the sysfs driver-access library on fake trees.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "fake_sysfs.h"
#include "machine_text.h"
#include "temp_folder.h"
#include "test_files.h"
#include "ulvexa.h"

namespace {

using test_support::ConfigView;

constexpr uint32_t kSentinel = 0xDEADBEEF;
constexpr const char* kType1At = "00:05.0";  // memory decoding on
constexpr uint32_t kType1Bar = 0xFD000000;
constexpr const char* kType2At = "00:03.0";  // decoding off; a 1 KiB BAR inside a page
constexpr uint32_t kType2Bar = 0xFEBFF400;
constexpr uint32_t kUnmappableBar = 0xFC000000;  // 00:07.0, without resource0
constexpr uint32_t kIoBar0 = 0xE001;             // 00:08.0, I/O ports at 0xe000
constexpr uint16_t kPastUserView = 0x40;         // the first byte a user cannot read
constexpr uint8_t kByteAt0x40 = 0x5A;
constexpr uint16_t kCommand = 0x04;
constexpr uint16_t kMemorySpaceAndBusMaster = 0x06;
constexpr uint16_t kBar0 = 0x10;

void AddFunction(MachineText& m, const char* at, unsigned device, uint32_t bar0, uint16_t command) {
    FunctionConfig f;
    function_init_at(&f, at);
    function_ids(&f, CARD_VENDOR, device);
    function_dword(&f, kCommand, command);
    function_dword(&f, kBar0, bar0);
    function_byte(&f, kPastUserView, kByteAt0x40);
    machine_function(&m, &f, MACHINE_ROWS_XXX);
}

std::string TestMachine() {
    MachineText m;
    machine_init(&m);
    machine_host_bridge(&m);
    AddFunction(m, kType2At, CARD_TYPE2, kType2Bar, 0);
    AddFunction(m, kType1At, CARD_TYPE1, kType1Bar, kMemorySpaceAndBusMaster);
    AddFunction(m, "00:07.0", CARD_TYPE1, kUnmappableBar, kMemorySpaceAndBusMaster);
    AddFunction(m, "00:08.0", 0x1234, kIoBar0, kMemorySpaceAndBusMaster);
    machine_window_byte(&m, kType1At, CARD_BOARD_ID_OFFSET, 0x80);
    machine_window_byte(&m, kType2At, CARD_CSR_OFFSET, 0x33);
    machine_line(&m, "refuse-map 00:07.0");
    std::string text(m.text, m.length);
    machine_free(&m);
    return text;
}

class SysfsBackend : public testing::Test {
protected:
    ~SysfsBackend() override {
        RemoveUlvexaDriver();
        test_support::SetEnv(test_support::kSysfsRootVariable, nullptr);
    }
    void UseRoot(const std::string& root) {
        root_ = root;
        test_support::SetEnv(test_support::kSysfsRootVariable, root.c_str());
    }
    void UseTree(ConfigView view = ConfigView::kRoot) { UseRoot(test_support::MakeFakeSysfs(TestMachine(), view)); }
    std::string FunctionFile(const std::string& at, const char* file) const {
        return root_ + "/bus/pci/devices/0000:" + at + "/" + file;
    }

    std::string root_;
};

struct ReadCase {
    ConfigView view;  // what the reader may see: root, or a user the first 64 bytes
    const char* what;
    uint8_t device, function;
    uint16_t offset;
    uint8_t result;
    uint32_t value;
};

const ReadCase kReads[] = {
    {ConfigView::kRoot, "IDs", 5, 0, 0x00, 1, 0x01016A5D},
    {ConfigView::kRoot, "an unaligned offset reads its dword", 5, 0, kBar0 + 2, 1, kType1Bar},
    {ConfigView::kRoot, "root sees past the first 64 bytes", 5, 0, kPastUserView, 1, kByteAt0x40},
    {ConfigView::kRoot, "past the end of the file", 5, 0, 0x100, 1, 0},
    {ConfigView::kRoot, "the last dword of configuration space", 5, 0, 0xFFF, 1, 0},
    {ConfigView::kRoot, "an absent function answers all ones", 9, 0, 0x00, 1, 0xFFFFFFFF},
    {ConfigView::kRoot, "past configuration space", 5, 0, 0x1000, 0, kSentinel},
    {ConfigView::kRoot, "device 32", 32, 0, 0x00, 0, kSentinel},
    {ConfigView::kRoot, "function 8", 5, 8, 0x00, 0, kSentinel},
    {ConfigView::kUser, "IDs", 5, 0, 0x00, 1, 0x01016A5D},
    {ConfigView::kUser, "BAR0", 5, 0, kBar0, 1, kType1Bar},
    {ConfigView::kUser, "the first byte past the user's view", 5, 0, kPastUserView, 1, 0},
};

TEST_F(SysfsBackend, ReadsDwordsAsTheBusAnswersRootOrAUser) {
    for (ConfigView view : {ConfigView::kRoot, ConfigView::kUser}) {
        UseTree(view);
        ASSERT_EQ(InitializeUlvexa(), 1);
        for (const ReadCase& c : kReads) {
            uint32_t value = kSentinel;
            if (c.view != view)
                continue;
            EXPECT_EQ(PciCfgRead(0, c.device, c.function, c.offset, &value), c.result) << c.what;
            EXPECT_EQ(value, c.value) << c.what;
        }
        EXPECT_EQ(PciCfgRead(0, 5, 0, 0, nullptr), 0);
        RemoveUlvexaDriver();
    }
}

TEST_F(SysfsBackend, ConfigAccessNeedsTheDriverOpen) {
    UseTree();
    uint32_t value = kSentinel;
    EXPECT_EQ(PciCfgRead(0, 5, 0, 0, &value), 0);
    ASSERT_EQ(InitializeUlvexa(), 1);
    EXPECT_EQ(PciCfgRead(0, 5, 0, 0, &value), 1);
    RemoveUlvexaDriver();
    EXPECT_EQ(PciCfgRead(0, 5, 0, 0, &value), 0);
    EXPECT_EQ(PciCfgWrite(0, 5, 0, 0x3C, 0), 0);
    ASSERT_EQ(InitializeUlvexa(), 1);
    ShutdownUlvexa();
    EXPECT_EQ(PciCfgRead(0, 5, 0, 0, &value), 0);
}

TEST_F(SysfsBackend, InitializeFailsWithoutAPciTreeAndSaysWhere) {
    std::string root = test_support::TempPath("no-pci");
    std::filesystem::create_directory(root);
    UseRoot(root);
    testing::internal::CaptureStderr();
    EXPECT_EQ(InitializeUlvexa(), 0);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("quorel-sysfs: cannot read PCI configuration space: " + root + "/bus/pci/devices"),
              std::string::npos) << err;
    uint32_t value = kSentinel;
    EXPECT_EQ(PciCfgRead(0, 0, 0, 0, &value), 0);
}

// DescribeUlvexa: the root it reaches, then a tab and why it cannot read
// it; a line cut to the buffer still tells its whole length.
TEST_F(SysfsBackend, DescribesTheRootAndWhyItCannotBeRead) {
    const std::string empty = test_support::TempPath("no-pci");
    std::filesystem::create_directory(empty);
    UseTree();
    const std::string tree = root_;
    for (const std::string& root : {tree, empty}) {
        UseRoot(root);
        char line[512];
        const uint32_t length = DescribeUlvexa(line, sizeof(line));
        const std::string said = line, why = "cannot read PCI configuration space: " + root + "/bus";
        const size_t tab = said.find('\t');
        EXPECT_EQ(said.substr(0, tab), root);
        EXPECT_EQ(tab == std::string::npos ? "" : said.substr(tab + 1, why.size()), root == tree ? "" : why);
        EXPECT_EQ(length, said.size());
        EXPECT_EQ(DescribeUlvexa(line, 4), length);
        EXPECT_EQ(std::string(line), root.substr(0, 3));
    }
}

TEST_F(SysfsBackend, WritesLandInTheConfigFileDwordAligned) {
    UseTree();
    ASSERT_EQ(InitializeUlvexa(), 1);
    EXPECT_EQ(PciCfgWrite(0, 5, 0, 0x3D, 0x0102030B), 1);
    EXPECT_EQ(test_support::ReadFile(FunctionFile(kType1At, "config")).substr(0x3C, 4), "\x0B\x03\x02\x01");
    uint32_t value = kSentinel;
    EXPECT_EQ(PciCfgRead(0, 5, 0, 0x3C, &value), 1);
    EXPECT_EQ(value, 0x0102030Bu);
    // Nobody claims a write to an absent function: dropped, nothing created.
    EXPECT_EQ(PciCfgWrite(0, 9, 0, 0x04, 0x6), 1);
    EXPECT_FALSE(std::filesystem::exists(FunctionFile("00:09.0", "")));
    EXPECT_EQ(PciCfgWrite(0, 5, 0, 0x1000, 0), 0);
}

TEST_F(SysfsBackend, MapsBar0ThroughResource0AndKeepsTheWindow) {
    UseTree();
    PhysMapRecord type1 = {CARD_WINDOW_TYPE1, kType1Bar, {}};
    PhysMapRecord type2 = {CARD_WINDOW_TYPE2, kType2Bar, {}};
    testing::internal::CaptureStderr();
    uint8_t* window = MapPhysToLin(&type1);  // with the driver closed, as the library maps
    uint8_t* small = MapPhysToLin(&type2);
    std::string err = testing::internal::GetCapturedStderr();
    ASSERT_NE(window, nullptr);
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(window[CARD_BOARD_ID_OFFSET], 0x80);
    EXPECT_EQ(small[CARD_CSR_OFFSET], 0x33);  // 0x400 into the page the kernel maps
    window[20] = 0xAB;
    EXPECT_EQ(test_support::ReadFile(FunctionFile(kType1At, "resource0"))[20], '\xAB');
    // Only the card whose memory decoding is off is warned about.
    EXPECT_NE(err.find("0000:00:03.0: memory decoding is off"), std::string::npos) << err;
    EXPECT_EQ(err.find("00:05.0"), std::string::npos) << err;
    ShutdownUlvexa();
    EXPECT_EQ(MapPhysToLin(&type1), window);
    EXPECT_EQ(window[20], 0xAB);
}

TEST_F(SysfsBackend, RefusedMappingsSayWhy) {
    UseTree();
    struct Case {
        uint64_t length, phys_addr;
        const char* message;
    };
    const Case cases[] = {
        {CARD_WINDOW_TYPE1, 0x12345000, "no PCI function has a memory BAR0 at 0x12345000"},
        {CARD_WINDOW_TYPE1 * 2, kType1Bar, "0000:00:05.0: BAR0 decodes 0x400000 bytes, fewer than the 0x800000"},
        {CARD_WINDOW_TYPE1, kUnmappableBar, "0000:00:07.0/resource0: No such file or directory; the kernel"},
        {CARD_WINDOW_TYPE2, kIoBar0 & ~1u, "no PCI function has a memory BAR0 at 0xe000"},
    };
    for (const Case& c : cases) {
        PhysMapRecord record = {c.length, c.phys_addr, {}};
        testing::internal::CaptureStderr();
        EXPECT_EQ(MapPhysToLin(&record), nullptr) << c.message;
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find(c.message), std::string::npos) << err;
    }
    EXPECT_EQ(MapPhysToLin(nullptr), nullptr);
}

}  // namespace
