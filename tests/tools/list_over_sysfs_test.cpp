// `quorel list` over the sysfs driver-access library: on fake trees, and
// read-only on this machine's own PCI bus against lspci.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>

#include "command_run.h"
#include "fake_sysfs.h"
#include "lspci_listing.h"
#include "test_files.h"
#include "tool_runner.h"

namespace {

using test_support::RunTool;

constexpr char kRealPciBus[] = "/sys/bus/pci";
constexpr char kDomain0Prefix[] = "0000:";

class ListOverSysfs : public testing::Test {
protected:
    ~ListOverSysfs() override {
        test_support::SetEnv(test_support::kSysfsRootVariable, nullptr);
        test_support::SetEnv("QUOREL_SIM_REGISTRY", nullptr);
    }
    static void UseTreeOf(const std::string& machine_file) {
        std::string text = test_support::ReadFile(test_support::SourcePath(machine_file));
        test_support::SetEnv(test_support::kSysfsRootVariable, test_support::MakeFakeSysfs(text).c_str());
    }
};

// `lspci -nD` of domain 0000, in the form LspciNFunctions reads.
std::string LspciDomain0(const std::string& text) {
    std::istringstream in(text);
    std::string line, out;
    while (std::getline(in, line))
        if (line.rfind(kDomain0Prefix, 0) == 0)
            out += line.substr(sizeof(kDomain0Prefix) - 1) + "\n";
    return out;
}

TEST_F(ListOverSysfs, ReplayedDumpAgreesWithLspci) {
    UseTreeOf("tests/data/replay/qemu-virtio.lspci-xxx.txt");
    auto run = RunTool("list --json");
    ASSERT_EQ(run.exit_code, 0) << run.err;
    auto lspci_n = test_support::ReadFile(test_support::SourcePath("tests/data/replay/qemu-virtio.lspci-n.txt"));
    EXPECT_EQ(test_support::ListJsonFunctions(run.out), test_support::LspciNFunctions(lspci_n));
}

// The simulated machine's registry must not annotate a real bus, even where
// the IDs match; a registry file given on purpose does.
TEST_F(ListOverSysfs, RecordsStayUnannotatedWithoutARegistryFile) {
    UseTreeOf("backends/sim/machines/default.lspci");
    auto run = RunTool("list");
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_NE(run.out.find("00:05.0  6a5d:0101"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("Quorel type 1 card"), std::string::npos) << run.out;
    test_support::SetEnv("QUOREL_SIM_REGISTRY", test_support::SourcePath("backends/sim/machines/default-nt6.reg").c_str());
    run = RunTool("list");
    EXPECT_NE(run.out.find("  Quorel type 1 card\n"), std::string::npos) << run.out;
}

// `quorel doctor` on a fake tree of the default machine, one change per row:
// what the kernel shows of card 0 at 00:05.0 and of the tree.
TEST_F(ListOverSysfs, DoctorShowsTheKernelsSide) {
    namespace fs = std::filesystem;
    const struct {
        const char* name;
        std::function<void(const fs::path& root, const fs::path& card)> change;
        const char* label;
        const char* fact;  // how the fact's text begins
    } cases[] = {
        {"as made", [](const fs::path&, const fs::path&) {}, "kernel driver", "none"},
        {"no lockdown file", [](const fs::path&, const fs::path&) {}, "lockdown", "not reported"},
        {"lockdown",
         [](const fs::path& root, const fs::path&) {
             fs::create_directories(root / "kernel/security");
             test_support::WriteFile((root / "kernel/security/lockdown").string(),
                                     "none [integrity] confidentiality\n");
         },
         "lockdown", "integrity"},
        {"no permission",
         [](const fs::path&, const fs::path& card) { fs::permissions(card / "resource0", fs::perms::none); },
         "resource0", "---------- "},
        {"driver bound",
         [](const fs::path& root, const fs::path& card) {
             fs::create_directories(root / "bus/pci/drivers/uio_pci_generic");
             fs::create_directory_symlink(root / "bus/pci/drivers/uio_pci_generic", card / "driver");
         },
         "kernel driver", "uio_pci_generic"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        UseTreeOf("backends/sim/machines/default.lspci");
        const fs::path root = std::getenv(test_support::kSysfsRootVariable);
        c.change(root, root / "bus/pci/devices/0000:00:05.0");
        auto run = RunTool("doctor");
        EXPECT_EQ(test_support::DoctorFact(run.out, c.label).rfind(c.fact, 0), 0u) << run.out;
        EXPECT_EQ(run.exit_code, 0) << run.out;  // the other cards open in any case
    }
    test_support::SetEnv(test_support::kSysfsRootVariable, "/nonexistent-sysfs");
    auto run = RunTool("doctor");
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_NE(run.out.find("verdict: no card can be opened: /nonexistent-sysfs/bus/pci/devices cannot "
                           "be read"), std::string::npos) << run.out;
}

// The tool initialises the driver more than once; the reason it fails is
// said once.
TEST_F(ListOverSysfs, AnUnreadableTreeIsReportedOnce) {
    test_support::SetEnv(test_support::kSysfsRootVariable, "/nonexistent-sysfs");
    const std::string reason = "quorel-sysfs: cannot read PCI configuration space: /nonexistent-sysfs";
    for (const char* command : {"list", "tree", "cards"}) {
        const std::string err = RunTool(command).err;
        EXPECT_EQ(err.rfind(reason, 0), 0u) << command << ": " << err;
        EXPECT_EQ(err.find("quorel-sysfs:", 1), std::string::npos) << command << ": " << err;
    }
}

// Read-only: discovery reads configuration space and maps nothing.
TEST_F(ListOverSysfs, RealBusAgreesWithLspci) {
    if (!std::filesystem::exists(kRealPciBus))
        GTEST_SKIP() << "no " << kRealPciBus << " on this machine: no PCI bus to compare with lspci";
    auto lspci = test_support::RunCommand("lspci -nD");
    if (lspci.exit_code != 0)
        GTEST_SKIP() << "lspci cannot run here: " << lspci.err;
    auto expected = test_support::LspciNFunctions(LspciDomain0(lspci.out));
    if (expected.empty())
        GTEST_SKIP() << "lspci lists no PCI function of domain 0000 here";
    auto run = RunTool("list --json");
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(test_support::ListJsonFunctions(run.out), expected);
}

}  // namespace
