// The stand-in driver-access library through its six functions only, with
// the machine and the call log chosen through the environment, as the
// library under test and users meet it (under Wine: the real DLL).
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <vector>

#include "card_facts.h"
#include "driver/ulvexa.h"
#include "machine_text.h"
#include "sim_machine.h"

namespace {

namespace card = test_card;

constexpr uint32_t kUntouched = 0xDEADBEEF;
constexpr uint64_t kType2Window = card::kWindowType2;
constexpr uint32_t kCardBase = 0xFEBFF000;
constexpr uint32_t kCardIds = static_cast<uint32_t>(card::kDeviceIdType2) << 16 | card::kVendorId;
constexpr uint8_t kBoardId3 = 0x88;

// A type-2 card at 00:03.0 with board ID 3.
const std::string kMachine =
    test_support::FunctionText("00:03.0", card::kVendorId, card::kDeviceIdType2, kCardBase) +
    "window 00:03.0 0x18 88\n";

uint8_t* Map(uint64_t length, uint64_t phys_addr) {
    PhysMapRecord record = {};
    record.length = length;
    record.phys_addr = phys_addr;
    return MapPhysToLin(&record);
}

// The status of PciCfgRead; *value starts as kUntouched.
uint8_t Read(uint8_t bus, uint8_t device, uint8_t function, uint16_t offset, uint32_t* value) {
    *value = kUntouched;
    return PciCfgRead(bus, device, function, offset, value);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// ASCII text as UTF-16 with its byte-order mark and CRLF line ends.
std::string Utf16(const std::string& ascii, bool big_endian) {
    std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : ascii)
        for (char unit : c == '\n' ? std::string("\r\n") : std::string(1, c))
            bytes += big_endian ? std::string{'\0', unit} : std::string{unit, '\0'};
    return bytes;
}

std::string PointerText(const void* pointer) {
    std::ostringstream text;
    text << "0x" << std::hex << reinterpret_cast<uintptr_t>(pointer);
    return text.str();
}

class SimDriver : public testing::Test {
protected:
    void SetUp() override {
        test_support::StopSimLog();
        machine_path_ = test_support::UseMachine(kMachine);
    }
    void TearDown() override {
        test_support::StopSimLog();
        test_support::UseDefaultMachine();
    }

    std::string machine_path_;
};

TEST_F(SimDriver, ReadsOnlyWhileTheDriverIsOpen) {
    uint32_t value;
    ASSERT_EQ(InitializeUlvexa(), 1);
    ASSERT_EQ(Read(0, 3, 0, 0x00, &value), 1);
    EXPECT_EQ(value, kCardIds);
    EXPECT_EQ(PciCfgWrite(0, 3, 0, 0x04, 0x00000006), 1);
    ASSERT_EQ(Read(0, 3, 0, 0x06, &value), 1);
    EXPECT_EQ(value, 6u);

    RemoveUlvexaDriver();
    EXPECT_EQ(Read(0, 3, 0, 0x00, &value), 0);
    EXPECT_EQ(value, kUntouched);
    EXPECT_EQ(PciCfgWrite(0, 3, 0, 0x04, 0), 0);

    ASSERT_EQ(InitializeUlvexa(), 1);
    // The reload started from the file again: the write above is gone.
    ASSERT_EQ(Read(0, 3, 0, 0x04, &value), 1);
    EXPECT_EQ(value, 0u);
    ShutdownUlvexa();
    EXPECT_EQ(Read(0, 3, 0, 0x00, &value), 0);
}

TEST_F(SimDriver, AbsentFunctionsAndImpossibleAddresses) {
    uint32_t value;
    ASSERT_EQ(InitializeUlvexa(), 1);
    ASSERT_EQ(Read(0, 4, 0, 0x00, &value), 1);
    EXPECT_EQ(value, 0xFFFFFFFFu);
    EXPECT_EQ(Read(0, 32, 0, 0x00, &value), 0);
    EXPECT_EQ(Read(0, 3, 8, 0x00, &value), 0);
    EXPECT_EQ(Read(0, 3, 0, 0x1000, &value), 0);
    EXPECT_EQ(value, kUntouched);
    EXPECT_EQ(PciCfgRead(0, 3, 0, 0x00, nullptr), 0);
    EXPECT_EQ(MapPhysToLin(nullptr), nullptr);
}

TEST_F(SimDriver, WindowIsMappedAfterTheDriverIsReleased) {
    ASSERT_EQ(InitializeUlvexa(), 1);
    RemoveUlvexaDriver();
    uint8_t* window = Map(kType2Window, kCardBase);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window[card::kBoardIdOffset], kBoardId3);
    window[card::kCsrOffset] = 0x5A;
    ShutdownUlvexa();
    EXPECT_EQ(Map(kType2Window, kCardBase), window);
    EXPECT_EQ(window[card::kCsrOffset], 0x5A);
    EXPECT_EQ(Map(kType2Window + 1, kCardBase), nullptr);
    EXPECT_EQ(Map(kType2Window, 0x12345000), nullptr);
}

TEST_F(SimDriver, NewMachineAtEveryInitializeOldWindowsStayValid) {
    ASSERT_EQ(InitializeUlvexa(), 1);
    uint8_t* first = Map(kType2Window, kCardBase);
    ASSERT_NE(first, nullptr);
    first[card::kBoardIdOffset] = 0x01;

    test_support::UseMachine(kMachine + "refuse-map 00:03.0\nfail-read 00:03.0 0x0e 1\n");
    ASSERT_EQ(InitializeUlvexa(), 1);
    EXPECT_EQ(Map(kType2Window, kCardBase), nullptr);
    uint32_t value;
    EXPECT_EQ(Read(0, 3, 0, 0x0E, &value), 0);
    EXPECT_EQ(Read(0, 3, 0, 0x0E, &value), 1);
    EXPECT_EQ(first[card::kBoardIdOffset], 0x01);  // the earlier machine's window is still memory

    test_support::UseMachine(kMachine + "fail-init\n");
    EXPECT_EQ(InitializeUlvexa(), 0);
    EXPECT_EQ(Read(0, 3, 0, 0x00, &value), 0);
    uint8_t* third = Map(kType2Window, kCardBase);  // mapping needs no driver
    ASSERT_NE(third, nullptr);
    EXPECT_NE(third, first);
    EXPECT_EQ(third[card::kBoardIdOffset], kBoardId3);

    test_support::SetEnv("QUOREL_SIM_MACHINE", "");  // empty: the default machine
    ASSERT_EQ(InitializeUlvexa(), 1);
    ASSERT_EQ(Read(1, 1, 0, 0x00, &value), 1);
    EXPECT_EQ(value, kCardIds);
}

TEST_F(SimDriver, MalformedMachineIsRefusedAndLeavesNothing) {
    ASSERT_EQ(InitializeUlvexa(), 1);
    std::string path = test_support::UseMachine(kMachine + "window 00:03.0 0x400 01\n");
    testing::internal::CaptureStderr();
    EXPECT_EQ(InitializeUlvexa(), 0);
    std::string message = testing::internal::GetCapturedStderr();
    EXPECT_NE(message.find("quorel-sim: " + path + ":5: "), std::string::npos) << message;

    uint32_t value;
    EXPECT_EQ(Read(0, 3, 0, 0x00, &value), 0);
    EXPECT_EQ(Map(kType2Window, kCardBase), nullptr);
}

TEST_F(SimDriver, UnreadableMachineFileSaysWhy) {
    const std::string folder = test_support::TempPath("folder");
    std::filesystem::create_directory(folder);
    const std::string large = test_support::TempPath("large");
    test_support::WriteFile(large, kMachine);
    std::filesystem::resize_file(large, (129u << 20) - 1);  // sparse: nothing more is written
    const std::pair<std::string, std::string> cases[] = {
        {test_support::TempPath("missing"), "No such file or directory"},
        {folder, "it is a folder"},
        {large, "it is too large (129 MiB; the limit is 128 MiB)"},
    };
    for (const auto& [path, why] : cases) {
        test_support::SetEnv("QUOREL_SIM_MACHINE", path.c_str());
        testing::internal::CaptureStderr();
        EXPECT_EQ(InitializeUlvexa(), 0) << why;
        const std::string message = testing::internal::GetCapturedStderr();
        EXPECT_EQ(message, "quorel-sim: " + path + ": cannot read the machine file: " + why + "\n");
    }
}

// As editors and shells save it: with a UTF-8 byte-order mark, or as UTF-16
// with one (Windows PowerShell's > writes UTF-16LE and CRLF).
TEST_F(SimDriver, ReadsMachineFilesWithByteOrderMarks) {
    const std::pair<const char*, std::string> cases[] = {
        {"UTF-8", "\xEF\xBB\xBF" + kMachine},
        {"UTF-16LE", Utf16(kMachine, false)},
        {"UTF-16BE", Utf16(kMachine, true)},
    };
    for (const auto& [encoding, bytes] : cases) {
        test_support::UseMachine(bytes);
        ASSERT_EQ(InitializeUlvexa(), 1) << encoding;
        uint32_t value;
        Read(0, 3, 0, 0x00, &value);
        EXPECT_EQ(value, kCardIds) << encoding;
        EXPECT_EQ(Map(kType2Window, kCardBase)[card::kBoardIdOffset], kBoardId3) << encoding;
    }
}

TEST_F(SimDriver, CallLogHasOneLinePerCall) {
    std::string log = test_support::StartSimLog();
    ASSERT_EQ(InitializeUlvexa(), 1);
    uint32_t value;
    Read(0, 3, 0, 0x00, &value);
    Read(0, 32, 0, 0x04, &value);
    PciCfgWrite(0, 3, 0, 0x04, 0x00000007);
    uint8_t* window = Map(kType2Window, kCardBase);
    Map(kType2Window, 0x12345000);
    RemoveUlvexaDriver();
    ShutdownUlvexa();
    test_support::StopSimLog();
    ASSERT_EQ(InitializeUlvexa(), 1);  // rereads the environment: log off
    Read(0, 3, 0, 0x00, &value);

    EXPECT_EQ(Lines(test_support::ReadFile(log)),
              (std::vector<std::string>{
                  "InitializeUlvexa() = 1",
                  "PciCfgRead(00:03.0, 0x000) = 1 0x494f6a5d",
                  "PciCfgRead(00:20.0, 0x004) = 0 0xdeadbeef",
                  "PciCfgWrite(00:03.0, 0x004, 0x00000007) = 1",
                  "MapPhysToLin(length=0x400, phys_addr=0xfebff000) = " + PointerText(window),
                  "MapPhysToLin(length=0x400, phys_addr=0x12345000) = NULL",
                  "RemoveUlvexaDriver()",
                  "ShutdownUlvexa()",
              }));
}

TEST_F(SimDriver, CallLogCanGoToStderr) {
    test_support::SetEnv("QUOREL_SIM_LOG", "stderr");
    testing::internal::CaptureStderr();
    EXPECT_EQ(InitializeUlvexa(), 1);
    ShutdownUlvexa();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "InitializeUlvexa() = 1\nShutdownUlvexa()\n");
}

}  // namespace
