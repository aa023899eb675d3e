// Reading machine files: real lspci dumps, the directives, the embedded
// default machine, and the refusal of malformed files.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "default_machine.h"
#include "card_facts.h"
#include "machine.h"
#include "machine_parser.h"
#include "machine_text.h"
#include "sim_machine.h"

namespace quorel::sim {
namespace {

namespace card = test_card;

constexpr uint32_t kUntouched = 0xDEADBEEF;
constexpr uint64_t kCardBase = 0xFD000000;

// The machine of the text into *machine, or the parser's error.
::testing::AssertionResult Parse(const std::string& text, std::unique_ptr<Machine>* machine,
                                 std::string* warning = nullptr) {
    std::string error;
    *machine = ParseMachine(text, "test.lspci", &error, warning);
    return *machine ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << error;
}

::testing::AssertionResult ParseReplay(const std::string& name, std::unique_ptr<Machine>* machine) {
    return Parse(test_support::ReadFile(test_support::SourcePath("tests/data/replay/" + name)), machine);
}

// The dword a configuration read gives; none when the read fails.
std::optional<uint32_t> Dword(Machine& machine, Address at, uint16_t offset) {
    uint32_t value = kUntouched;
    if (!machine.Read(at, offset, &value))
        return std::nullopt;
    return value;
}

std::vector<std::string> AddressTexts(const Machine& machine) {
    std::vector<std::string> texts;
    for (const Address& at : machine.Addresses())
        texts.push_back(FormatAddress(at));
    return texts;
}

const std::string kCard =
    test_support::FunctionText("00:05.0", card::kVendorId, card::kDeviceIdType1, kCardBase);

TEST(MachineFile, ReplaysDumpsOfEveryDepth) {
    const std::vector<std::string> expected = {"00:00.0", "00:01.0", "00:02.0",
                                               "00:03.0", "00:04.0", "00:05.0"};
    std::unique_ptr<Machine> short_dump, full_dump;
    ASSERT_TRUE(ParseReplay("qemu-virtio.lspci-x.txt", &short_dump));
    ASSERT_TRUE(ParseReplay("qemu-virtio.lspci-xxx.txt", &full_dump));
    EXPECT_EQ(AddressTexts(*short_dump), expected);
    EXPECT_EQ(AddressTexts(*full_dump), expected);

    const Address balloon{0, 1, 0};
    EXPECT_EQ(Dword(*short_dump, balloon, 0x00), 0x10451AF4u);
    EXPECT_EQ(Dword(*full_dump, balloon, 0x00), 0x10451AF4u);
    EXPECT_EQ(Dword(*short_dump, balloon, 0x34), 0x40u);  // capability pointer, last row of -x
    // -x stops at 0x3f: the capability it points at is not in the dump.
    EXPECT_EQ(Dword(*short_dump, balloon, 0x40), 0u);
    EXPECT_EQ(Dword(*full_dump, balloon, 0x40), 0x01105009u);
    EXPECT_EQ(Dword(*full_dump, balloon, 0xFC), 0u);
}

TEST(MachineFile, ReadsExtendedRowsDomainsCommentsAndCrLf) {
    std::string row = " 01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f 10";
    std::unique_ptr<Machine> machine;
    ASSERT_TRUE(Parse(
        "# a comment\r\n\r\n"
        "0000:02:1f.7 Some device # with a hash in its description\r\n"
        "\tControl: I/O- Mem+ BusMaster+\r\n"  // lspci -v detail lines
        "\t\tBAR=0 offset=00000000 size=00000038\r\n"
        "100:" + row + "   # trailing comment\r\n"
        "ff0:" + row + "\r\n"
        "\t00:" + row + "\r\n", &machine));
    const Address at{2, 0x1F, 7};
    EXPECT_EQ(Dword(*machine, at, 0x000), 0x04030201u);
    EXPECT_EQ(Dword(*machine, at, 0x100), 0x04030201u);
    EXPECT_EQ(Dword(*machine, at, 0xFFC), 0x100F0E0Du);
    EXPECT_EQ(Dword(*machine, at, 0x0F0), 0u);
}

TEST(MachineFile, LeavesOutOtherDomainsWithOneWarning) {
    const std::string ids = "00: 86 80 57 0d 00 00 00 00 00 00 00 06 00 00 00 00\n";
    const std::string other_ids = "00: f4 1a 42 10 00 00 00 00 00 00 80 01 00 00 00 00\n";
    std::string warning;
    std::unique_ptr<Machine> machine;
    ASSERT_TRUE(Parse("0000:00:01.0 Host bridge\n" + ids + "0001:00:01.0 x\n" + other_ids +
                          "0001:00:02.0 x\n\tFlags: fast devsel\n" + other_ids +
                          "10000:00:00.0 x\n" + other_ids + "refuse-map 00:01.0\n",
                      &machine, &warning));
    EXPECT_EQ(AddressTexts(*machine), std::vector<std::string>{"00:01.0"});
    EXPECT_EQ(Dword(*machine, {0, 1, 0}, 0x00), 0x0D578086u);  // not the other domain's 00:01.0
    EXPECT_EQ(warning, "test.lspci: left out 2 functions of PCI domain 0001, 1 function of PCI "
                       "domain 10000: only domain 0000 is simulated");

    ASSERT_TRUE(Parse(kCard, &machine, &warning));
    EXPECT_EQ(warning, "");
}

// What people paste first: lspci without -x prints headers and decoded
// lines, no bytes. Nothing of it would answer a scan.
TEST(MachineFile, DumpsWithoutRowsSayHowToGetThem) {
    const std::string vvv = "00:05.0 Signal processing controller: Device 6a5d:0101\n"
                            "\tControl: I/O- Mem+ BusMaster+\n\n";
    const std::string nnmm = "00:00.0 \"Host bridge [0600]\" \"Intel Corporation [8086]\" -r08\n";
    const std::string card_rows = kCard.substr(kCard.find('\n') + 1);
    struct Case {
        const char* what;
        std::string text;
        bool refused;
        const char* message;  // how the error or the warning starts
    } cases[] = {
        {"lspci -n", test_support::ReadFile(test_support::SourcePath(
                         "tests/data/replay/qemu-virtio.lspci-n.txt")), true,
         "bad.lspci: no configuration bytes: 6 functions are listed, but no rows of bytes"},
        {"lspci -vvv", vvv, true, "bad.lspci: no configuration bytes: 1 function is listed"},
        {"lspci -nnmm", nnmm + "0001:00:00.0 x\n", true, "bad.lspci: no configuration bytes: 2 functions"},
        {"some without rows", vvv + card_rows + nnmm + "03:00.0 x\n", false,
         "bad.lspci: 00:00.0 and 03:00.0 have no row '00:' of configuration bytes and read as empty slots"},
        {"rows but not the first", "00:07.0 x\n" + kCard.substr(kCard.find("10:")) + kCard, false,
         "bad.lspci: 00:07.0 has no row '00:'"},
        {"no function with its first row", "00:07.0 x\n" + kCard.substr(kCard.find("10:")), true,
         "bad.lspci: no IDs: 1 function is listed, but no row '00:'"},
        {"lspci -vmm", "Slot:\t00:00.0\nClass:\tHost bridge\n", true,
         "bad.lspci:1: unrecognised line starting 'Slot:'"},
    };
    for (const Case& c : cases) {
        std::string error, warning;
        std::unique_ptr<Machine> machine = ParseMachine(c.text, "bad.lspci", &error, &warning);
        const std::string& said = c.refused ? error : warning;
        EXPECT_EQ(machine == nullptr, c.refused) << c.what << ": " << error;
        EXPECT_EQ(said.rfind(c.message, 0), 0u) << c.what << ": " << said;
        EXPECT_NE(said.find("`sudo lspci -vvxxx`"), std::string::npos) << c.what << ": " << said;
    }
}

TEST(MachineFile, DirectivesTakeEffect) {
    std::unique_ptr<Machine> machine;
    ASSERT_TRUE(Parse(
        kCard +
        "window 00:05.0 18 08\n"
        "window 0000:00:05.0 0x3FC 0x11 22\n"
        "fail-read 00:05.0 0x0e\n"
        "fail-read 00:05.0 0 2\n"
        "fail-read 00:06.0 0 1\n"
        "fail-init\n", &machine));
    EXPECT_TRUE(machine->fail_init);
    const Address card{0, 5, 0};
    uint32_t value = kUntouched;
    // Every read at exactly 0x0e fails; 0x0c, the same dword, does not.
    EXPECT_FALSE(machine->Read(card, 0x0E, &value));
    EXPECT_FALSE(machine->Read(card, 0x0E, &value));
    EXPECT_EQ(value, kUntouched);
    EXPECT_TRUE(machine->Read(card, 0x0C, &value));
    // Only the second read at 0 fails.
    EXPECT_TRUE(machine->Read(card, 0x00, &value));
    EXPECT_FALSE(machine->Read(card, 0x00, &value));
    EXPECT_TRUE(machine->Read(card, 0x00, &value));
    // An empty slot's probe can fail too; afterwards it reads as absent.
    const Address empty_slot{0, 6, 0};
    value = kUntouched;
    EXPECT_FALSE(machine->Read(empty_slot, 0x00, &value));
    EXPECT_EQ(value, kUntouched);
    EXPECT_TRUE(machine->Read(empty_slot, 0x00, &value));
    EXPECT_EQ(value, 0xFFFFFFFFu);

    uint8_t* window = machine->Map(card::kWindowType1, kCardBase);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window[card::kBoardIdOffset], 0x08);
    EXPECT_EQ(window[card::kCsrOffset], 0x11);
    EXPECT_EQ(window[card::kCsrOffset + 1], 0x22);
    EXPECT_EQ(window[card::kCsrOffset + 2], 0x00);

    std::unique_ptr<Machine> refusing;
    ASSERT_TRUE(Parse(kCard + "refuse-map 00:05.0\n", &refusing));
    EXPECT_FALSE(refusing->fail_init);
    EXPECT_EQ(refusing->Map(card::kWindowType1, kCardBase), nullptr);

    // The path is the rest of the line as written, spaces and all.
    std::unique_ptr<Machine> modelled;
    ASSERT_TRUE(Parse(kCard + "model 00:05.0  models/my  card.toml \n", &modelled));
    EXPECT_EQ(modelled->Find({0, 5, 0})->model_path, "models/my  card.toml");
}

struct Malformed {
    const char* what;
    std::string text;
    int line;
    const char* message;  // part of the message after "file:line: "
};

TEST(MachineFile, RefusesMalformedFilesNamingTheLine) {
    const std::string type2 =
        test_support::FunctionText("00:01.0", card::kVendorId, card::kDeviceIdType2, 0xFEBFF000);
    const std::string row15 = "00: 00 01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e\n";
    const std::string first15 = row15.substr(0, row15.size() - 1);  // a 16th byte goes after
    const std::vector<Malformed> cases = {
        {"unknown keyword", kCard + "frobnicate 00:05.0\n", 4,
         "unrecognised line starting 'frobnicate', expected a function header such as 00:1f.0, "
         "a row such as 10: 00 ..., or a directive (window, fail-read, fail-init, refuse-map, model)"},
        {"detail line before any function", "\tControl: I/O- Mem+\n", 1,
         "unrecognised line starting 'Control:', expected a function header"},
        {"detail line not indented", kCard + "Control: I/O- Mem+\n", 4, "unrecognised line"},
        {"indented short hex line", kCard + "\t40: 00 01\n", 4, "expected 16 bytes"},
        {"bad row of a left-out function", "0001:00:00.0 x\n" + first15 + " zz\n", 2, "bad byte 'zz'"},
        {"bad hex byte", "00:00.0 x\n" + first15 + " zz\n", 2, "bad byte 'zz'"},
        {"three-digit byte", "00:00.0 x\n" + first15 + " 0ff\n", 2, "bad byte"},
        {"short hex line", "00:00.0 x\n" + row15, 2, "expected 16 bytes"},
        {"offset off the row grid", "00:00.0 x\n08:" + row15.substr(3), 2, "bad offset '08:'"},
        {"offset past the config space", "00:00.0 x\n1000:" + row15.substr(3), 2, "bad offset"},
        {"hex line before a header", "# dump\n" + row15, 2,
         "row '00:' comes before any function, expected a function header such as 00:1f.0 first"},
        {"function listed twice", kCard + "\n" + kCard, 5,
         "function '00:05.0' is listed twice, first at line 1, expected each function once"},
        {"listed with and without domain", "00:05.0 x\n0000:00:05.0 x\n", 2, "listed twice"},
        {"left-out function listed twice", "0001:00:05.0 x\n0001:00:05.0 x\n", 2, "listed twice"},
        {"row given twice", kCard + kCard.substr(kCard.find('\n') + 1), 4, "given twice"},
        {"domain not hex", "000g:00:00.0 x\n", 1, "bad function address '000g:00:00.0'"},
        {"directive for another domain", kCard + "refuse-map 0001:00:05.0\n", 4,
         "outside PCI domain 0000"},
        {"device above 1f", "00:20.0 x\n", 1, "device number"},
        {"function above 7", "00:00.8 x\n", 1, "function number"},
        {"mangled address", "00:0g.0 x\n", 1,
         "bad function address '00:0g.0', expected BB:DD.F or DDDD:BB:DD.F such as 00:1f.0"},
        {"directive for an absent function", kCard + "refuse-map 00:06.0\n# end\n", 4,
         "no function 00:06.0"},
        {"window past a type-2 window", type2 + "window 00:01.0 0x3ff 01 02\n", 4, "run past the end"},
        {"window without bytes", kCard + "window 00:05.0 0x18\n", 4, "usage: window"},
        {"window byte too wide", kCard + "window 00:05.0 0x18 0x123\n", 4, "bad hex number '0x123'"},
        {"fail-read beyond config space", kCard + "fail-read 00:05.0 0x1000\n", 4,
         "beyond configuration space"},
        {"fail-read count zero", kCard + "fail-read 00:05.0 0 0\n", 4, "bad count '0'"},
        {"fail-read count not decimal", kCard + "fail-read 00:05.0 0 x2\n", 4, "bad count 'x2'"},
        {"fail-init with arguments", "fail-init now\n", 1, "usage: fail-init"},
        {"refuse-map without a function", "refuse-map\n", 1, "usage: refuse-map"},
        {"model without a path", kCard + "model 00:05.0\n", 4, "usage: model BB:DD.F PATH"},
        {"two models for a function", kCard + "model 00:05.0 a.toml\nmodel 00:05.0 b.toml\n", 5,
         "a second model for 00:05.0"},
    };
    for (const Malformed& test : cases) {
        std::string error;
        EXPECT_EQ(ParseMachine(test.text, "bad.lspci", &error), nullptr) << test.what;
        std::string prefix = "bad.lspci:" + std::to_string(test.line) + ": ";
        EXPECT_EQ(error.rfind(prefix, 0), 0u) << test.what << ": " << error;
        EXPECT_NE(error.find(test.message), std::string::npos) << test.what << ": " << error;
    }
}

TEST(MachineFile, EmbeddedDefaultIsTheRepositoryFile) {
    EXPECT_EQ(std::string(kDefaultMachineText),
              test_support::ReadFile(test_support::SourcePath("backends/sim/machines/default.lspci")));
}

TEST(MachineFile, DefaultMachineHasThreeCardsWithDistinctBoards) {
    std::unique_ptr<Machine> machine;
    ASSERT_TRUE(Parse(kDefaultMachineText, &machine));
    EXPECT_EQ(AddressTexts(*machine),
              (std::vector<std::string>{"00:00.0", "00:02.0", "00:05.0", "00:1e.0", "00:1f.0", "00:1f.2",
                                        "00:1f.3", "01:00.0", "01:01.0", "01:02.0"}));
    EXPECT_EQ(Dword(*machine, {0, 0x1E, 0}, 0x18), 0x20010100u);  // bridge to bus 1
    EXPECT_EQ(Dword(*machine, {0, 0x1F, 0}, 0x0C), 0x00800000u);  // multi-function

    struct CardAt {
        Address at;
        uint16_t device;
        uint32_t base;
        uint64_t window;
        uint8_t board_id, status;
    };
    const CardAt cards[] = {
        {{0, 5, 0}, card::kDeviceIdType1, 0xFD000000, card::kWindowType1, 0x08, 0x11},
        {{1, 0, 0}, card::kDeviceIdType1, 0xFC800000, card::kWindowType1, 0x80, 0x22},
        {{1, 1, 0}, card::kDeviceIdType2, 0xFEBFF000, card::kWindowType2, 0x88, 0x33},
    };
    for (const CardAt& expected : cards) {
        SCOPED_TRACE(FormatAddress(expected.at));
        EXPECT_EQ(Dword(*machine, expected.at, 0x00),
                  static_cast<uint32_t>(expected.device) << 16 | card::kVendorId);
        EXPECT_EQ(Dword(*machine, expected.at, 0x10), expected.base);
        uint8_t* window = machine->Map(expected.window, expected.base);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window[card::kBoardIdOffset], expected.board_id);
        EXPECT_EQ(window[card::kCsrOffset], expected.status);
    }
}

}  // namespace
}  // namespace quorel::sim
