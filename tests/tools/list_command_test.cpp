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
    const std::string text = test_support::ReadFile(test_support::SourcePath("sim/machines/default-nt5.reg"));
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

// An empty scan says why: a driver that did not initialise, a bus where
// nothing answers, or functions only a peer-bus probe reaches (a single
// card's dump, as `lspci -vvxxx -s 03:00.0` prints it).
TEST(ListCommand, AnEmptyScanSaysWhy) {
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
         "found a function"},
        {"tests/data/replay/card-on-bus-03.lspci-vvxxx-s.txt", true,
         "found no PCI functions: 1 function on bus 03 is not reached from bus 0 (a card there is "
         "found only with QUOREL_SCAN_PEER_BUSES=1): 03:00.0 6a5d:0101.\n"},
    };
    for (const auto& c : cases) {
        std::string machine = test_support::SourcePath(c.machine);
        if (!c.file) {
            machine = test_support::TempPath("machine");
            test_support::MachineBuilder m;
            m.Add(0, 0, 0, 0x8086, 0x29c0, 0x060000);
            test_support::WriteFile(machine, m.Directive(c.machine).Text());
        }
        for (const char* command : {"list", "tree", "cards"}) {
            auto run = RunTool(command, machine);
            EXPECT_EQ(run.exit_code, std::string(command) == "cards" ? 0 : 1) << command;
            EXPECT_NE(run.err.find(c.why), std::string::npos) << command << ": " << run.err;
            EXPECT_EQ(run.err.find("note:"), std::string::npos) << command << ": " << run.err;
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

TEST(Tool, BadArgumentsGetUsageAndExitTwo) {
    for (const char* args : {"", "frobnicate", "list extra", "list --nope", "--board"}) {
        auto run = RunTool(args);
        EXPECT_EQ(run.exit_code, 2) << args;
        EXPECT_NE(run.err.find("usage"), std::string::npos) << args << ": " << run.err;
    }
}

}  // namespace
