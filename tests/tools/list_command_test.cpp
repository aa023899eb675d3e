// `quorel list` and `quorel tree` as a user runs them.
#include <gtest/gtest.h>

#include <cstdio>

#include "lspci_listing.h"
#include "machine_text.h"
#include "process_env/utf8.h"
#include "sim_machine.h"
#include "tool_runner.h"

using test_support::RunTool;

namespace {

TEST(ListCommand, JsonOfAReplayedDumpAgreesWithLspci) {
    std::string dir = test_support::SourcePath("tests/data/replay/");
    auto run = RunTool("list --json", dir + "qemu-virtio.lspci-xxx.txt");
    ASSERT_EQ(run.exit_code, 0) << run.err;
    auto expected = test_support::LspciNFunctions(test_support::ReadFile(dir + "qemu-virtio.lspci-n.txt"));
    EXPECT_EQ(test_support::ListJsonFunctions(run.out), expected);
    EXPECT_EQ(run.out.front(), '[');
}

TEST(ListCommand, DefaultMachineShowsCardsAndBridge) {
    auto run = RunTool("list");
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_NE(run.out.find("00:05.0  6a5d:0101"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("01:01.0  6a5d:494f"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("00:1e.0  8086:244e  060401  01"), std::string::npos) << run.out;
    // The registry annotation of an open: the default registry names every function.
    EXPECT_NE(run.out.find("  Quorel type 2 card\n"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("(no registry entry)"), std::string::npos) << run.out;
}

TEST(ListCommand, JsonCarriesTheRegistryFieldsAndTheParsedGuid) {
    auto run = RunTool("list --json");
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_NE(run.out.find("\"registry_matched\": 1, \"device_desc\": \"Quorel type 1 card\", "
                           "\"hardware_key\": \"PCI\\\\VEN_6A5D&DEV_0101&SUBSYS_00016A5D&REV_01\\\\"),
              std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"config_manager_key\": \"\", \"class_guid_text\": \"{4d36e97d-e325-11ce-"
                           "bfc1-08002be10318}\", \"class_guid\": \"{4D36E97D-E325-11CE-BFC1-08002BE10318}\""),
              std::string::npos) << run.out;
}

// A registry description beyond ASCII or with control characters: JSON as
// valid UTF-8 with the controls escaped, table lines with them written out.
TEST(ListCommand, RegistryTextsAreUtf8InJsonAndEscapedInTables) {
    const std::string cases[][3] = {  // description, in JSON, in the table
        {"Karte für Prüfstand", "Karte für Prüfstand", "Karte für Prüfstand"},
        {"red\x1b[31m bell\x07 tab\t", "red\\u001b[31m bell\\u0007 tab\\u0009", "red\\x1b[31m bell\\x07 tab\\t"},
        {"C1 \xC2\x9B" "2J", "C1 \xC2\x9B" "2J", "C1 \\u009b2J"},
    };
    const std::string registry = test_support::TempPath("registry");
    const std::string text = test_support::ReadFile(test_support::SourcePath("backends/sim/machines/default-nt5.reg"));
    const size_t at = text.find("Quorel type 2 card");
    for (const auto& [description, json, table] : cases) {
        test_support::WriteFile(registry, std::string(text).replace(at, 18, description));
        const std::string env = "QUOREL_SIM_WINVER=5.1 QUOREL_SIM_REGISTRY='" + registry + "'";
        auto listed = RunTool("list --json", "", env);
        EXPECT_EQ(quorel::process_env::ValidUtf8(listed.out), listed.out);
        EXPECT_NE(listed.out.find("\"device_desc\": \"" + json + "\""), std::string::npos) << listed.out;
        listed = RunTool("list", "", env);
        EXPECT_NE(listed.out.find("         " + table + "\n"), std::string::npos) << listed.out;
        EXPECT_EQ(listed.out.find_first_of("\x07\x1b\t\r"), std::string::npos) << listed.out;
    }
}

TEST(TreeCommand, ShowsTheBusBehindTheBridge) {
    auto run = RunTool("tree");
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_NE(run.out.find("bus 00  primary 00  secondary 00  subordinate 01"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("  bus 01  primary 00  secondary 01  subordinate 01  via 00:1e.0"),
              std::string::npos)
        << run.out;
    auto json = RunTool("tree --json");
    EXPECT_NE(json.out.find(R"("bridge": "00:1e.0")"), std::string::npos) << json.out;
}

// An empty scan fails every command that needs it alike: exit 1, why on
// stderr and, with --json, the failure document; a driver that did not
// initialise, a bus where nothing answers, or functions only a peer-bus
// probe reaches (a single card's dump, as `lspci -vvxxx -s 03:00.0` prints it).
TEST(Tool, AnEmptyScanFailsEveryCommandThatNeedsIt) {
    const struct {
        const char* machine;  // a host bridge's directive, or a file of the repository
        bool file;
        const char* why;
    } cases[] = {
        {"fail-init", false,
         "found no PCI functions: the driver-access library did not initialise (InitializeUlvexa "
         "returned 0)"},
        {"fail-read 00:00.0 0x0c", false,
         "found no PCI functions: the driver-access library initialised, but no configuration read "
         "found a function on any bus"},
        {"tests/data/replay/card-on-bus-03.lspci-vvxxx-s.txt", true,
         "found no PCI functions: 1 function on bus 03 is not reached from bus 0 (a card there is "
         "found only with QUOREL_SCAN_PEER_BUSES=1): 03:00.0 6a5d:0101"},
    };
    // Each command line, and whether it takes --json.
    const std::pair<std::string, bool> commands[] = {
        {"list", true},     {"tree", true},        {"cards", true},
        {"boards", true},   {"read 0 6", true},    {"status --board 1", true},
        {"dump 0", true},   {"write 0 1 2", false}, {"reset --board 2", false},
        {"irq 0 ack", false}, {"snapshot --force " + test_support::TempPath("snap"), false}};
    for (const auto& c : cases) {
        std::string machine = test_support::SourcePath(c.machine);
        if (!c.file) {
            machine = test_support::TempPath("machine");
            test_support::MachineBuilder m;
            m.Add(0, 0, 0, 0x8086, 0x29c0, 0x060000);
            test_support::WriteFile(machine, m.Directive(c.machine).Text());
        }
        for (const auto& [command, takes_json] : commands) {
            SCOPED_TRACE(command + " on " + c.machine);
            auto run = RunTool(command + (takes_json ? " --json" : ""), machine);
            EXPECT_EQ(run.exit_code, 1);
            EXPECT_NE(run.err.find(std::string(c.why) + ".\n"), std::string::npos) << run.err;
            EXPECT_EQ(run.err.find("note:"), std::string::npos) << run.err;
            if (takes_json) {
                EXPECT_EQ(run.out, R"({"ok": false, "reason": "the bus scan )" + std::string(c.why) + "\"}\n");
            } else if (command.rfind("snapshot", 0) != 0) {
                EXPECT_EQ(run.out, "");
            }
        }
    }
}

// The line is named, and what the message quotes of it cannot steer the terminal.
TEST(ListCommand, MalformedMachineFileIsNamedWithItsLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"00:00.0 host bridge\n00: 86 80 zz 29\n", ":2: expected 16 bytes after '00:'"},
        {"00:00.0 host bridge\n\x1b[2J\x07\n", ":2: unrecognised line starting '\\x1b[2J\\x07'"},
    };
    for (const auto& [text, message] : cases) {
        std::string machine = test_support::TempPath("machine");
        test_support::WriteFile(machine, text);
        auto run = RunTool("list", machine);
        EXPECT_EQ(run.exit_code, 1);
        EXPECT_NE(run.err.find(machine + message), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find_first_of("\x07\x1b"), std::string::npos) << run.err;
    }
}

// Every argument error names the fault and prints the command's usage.
TEST(Tool, BadArgumentsGetTheCommandsUsageAndExitTwo) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "usage: quorel COMMAND"},
        {"frobnicate", "unknown command 'frobnicate'"},
        {"help nope", "unknown command 'nope'"},
        {"--board", "--board needs a number\n\nusage: quorel COMMAND"},
        {"list extra", "too many arguments\nusage: quorel list [--json]\n"},
        {"list --nope", "unknown option --nope\nusage: quorel list"},
        {"read --board x 6", "--board needs a number\nusage: quorel read POS|--board N REG [--json] [--model PATH]\n"},
        {"read 0 5 --model", "--model needs the path of a card model file\nusage: quorel read"},
        {"dump 0 --model a --model b", "--model is given twice\nusage: quorel dump"},
        {"read 0 5 --all", "read does not take --all\nusage: quorel read"},
        {"model check", "missing arguments\nusage: quorel model check PATH [--json]\n"},
        {"model verify m.toml", "the model action must be check, not 'verify'\nusage: quorel model"},
        {"read --board 1 --board 2 6", "--board is given twice\nusage: quorel read"},
        {"--json list --json", "--json is given twice\nusage: quorel list"},
        {"read 0 5 --registers", "read does not take --registers\nusage: quorel read"},
        {"cards --board 1", "cards does not take --board\nusage: quorel cards"},
        {"write 0 5 1 --json", "write does not take --json\nusage: quorel write"},
    };
    for (const auto& [args, message] : cases) {
        auto run = RunTool(args);
        EXPECT_EQ(run.exit_code, 2) << args;
        EXPECT_NE(run.err.find(message), std::string::npos) << args << ": " << run.err;
        EXPECT_EQ(run.out, "") << args;
    }
}

// Help and the version on stdout, exit 0: the list, or one command's usage.
TEST(Tool, HelpAndVersionAsAskedFor) {
    const char* read = "usage: quorel read POS|--board N REG [--json] [--model PATH]\n\n"
                       "read register REG: 0..254, or NAME or NAME.FIELD of the card's model.\n";
    const std::pair<const char*, const char*> cases[] = {
        {"help", "usage: quorel COMMAND [ARGS] [--json]\n"},
        {"--help", "usage: quorel COMMAND [ARGS] [--json]\n"},
        {"help read", read},
        {"read --help", read},
        {"read 0 -h", read},
        {"--version", "Velmar QUOREL DLL V1.01\n"},
        {"--version --json", "{\"major\": 1, \"minor\": 1}\n"},
    };
    for (const auto& [args, begins] : cases) {
        auto run = RunTool(args);
        EXPECT_EQ(run.exit_code, 0) << args << ": " << run.err;
        EXPECT_EQ(run.out.rfind(begins, 0), 0u) << args << ": " << run.out;
    }
}

// A BAR shows its full address, a 64-bit one above 4 GiB included; a card
// whose BAR0 the library cannot map says so under its line.
TEST(ListCommand, ShowsEveryBarsAddressAndMarksWhatTheLibraryCannotMap) {
    const struct {
        uint16_t device;  // a card's (0101) or a NIC's
        uint32_t bar0, bar1;
        const char* bars;     // the BARS column
        const char* json;     // of the record's JSON
        const char* problem;  // why it cannot be mapped; "" it can
    } cases[] = {
        {0x0101, 0xfd000004, 0x3, "[0]=0x3fd000000",
         R"("bars": [{"index": 0, "space": "memory", "bits": 64, "address": 17129537536}])",
         "BAR0 lies above 4 GiB"},
        {0x0101, 0xfd000004, 0, "[0]=0xfd000000", R"("bits": 64, "address": 4244635648}])", ""},
        {0x0101, 0xe001, 0, "[0]=io:0xe000", R"("space": "io", "bits": 32, "address": 57344}])",
         "BAR0 is in I/O space"},
        {0x0101, 0, 0xfe000000, "[1]=0xfe000000", R"([{"index": 1, "space": "memory")",
         "BAR0 is unassigned"},
        {0x1010, 0xfd000004, 0x3, "[0]=0x3fd000000", R"("address": 17129537536}])", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bars);
        test_support::MachineBuilder m;
        m.Add(0, 5, 0, c.device == 0x0101 ? 0x6A5D : 0x8086, c.device, 0x118000).Bar(0, c.bar0).Bar(1, c.bar1);
        const std::string machine = test_support::TempPath("machine");
        test_support::WriteFile(machine, m.Text());
        auto text = RunTool("list", machine), json = RunTool("list --json", machine);
        EXPECT_NE(text.out.find(std::string("   ") + c.bars + "\n"), std::string::npos) << text.out;
        EXPECT_NE(json.out.find(c.json), std::string::npos) << json.out;
        const std::string mark = std::string("\n         the library cannot map this card: ") + c.problem;
        EXPECT_EQ(text.out.find(mark) != std::string::npos, *c.problem != 0) << text.out;
        EXPECT_EQ(json.out.find(R"("card_window_problem": null)") == std::string::npos, *c.problem != 0);
    }
}

}  // namespace
