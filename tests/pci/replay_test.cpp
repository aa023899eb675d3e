// A real machine's lspci dump, replayed through the stand-in library, must
// list the functions `lspci -n` printed for the same machine: the bare hex
// dumps, and the verbose ones as users paste them into a report.
#include <set>

#include "lspci_listing.h"
#include "scan_fixture.h"
#include "test_files.h"

namespace {

using test_support::Count;

std::set<std::string> FromScan() {
    std::set<std::string> out;
    for (const quorel::DeviceRecord* r = quorel::device_list; r; r = r->next) {
        char ids[32];
        std::snprintf(ids, sizeof(ids), " %04x %04x:%04x", r->class_code >> 8, r->vendor_id,
                      r->device_id);
        out.insert(ScanTest::LocationOf(r) + ids);
    }
    return out;
}

struct Dump {
    const char* file;
    const char* warning;  // what the stand-in says on stderr; null: nothing
};

// Test names show the file, not the bytes of the pointers.
void PrintTo(const Dump& dump, std::ostream* out) { *out << dump.file; }

class ReplayTest : public ScanTest, public ::testing::WithParamInterface<Dump> {};

TEST_P(ReplayTest, ListsWhatLspciPrinted) {
    const std::string dir = test_support::SourcePath("tests/data/replay/");
    // The dump itself, as a user names it.
    test_support::SetEnv("QUOREL_SIM_MACHINE", (dir + GetParam().file).c_str());
    testing::internal::CaptureStderr();
    quorel::StartDiscovery();
    std::string complaints = testing::internal::GetCapturedStderr();

    std::set<std::string> expected = test_support::LspciNFunctions(test_support::ReadFile(dir + "qemu-virtio.lspci-n.txt"));
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(FromScan(), expected);
    EXPECT_EQ(Locations().size(), expected.size());  // nothing listed twice
    const char* warning = GetParam().warning;
    EXPECT_EQ(Count(complaints, "quorel-sim: "), warning ? 1u : 0u) << complaints;
    if (warning) {
        EXPECT_EQ(Count(complaints, warning), 1u) << complaints;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Dumps, ReplayTest,
    ::testing::Values(Dump{"qemu-virtio.lspci-xxx.txt", nullptr}, Dump{"qemu-virtio.lspci-x.txt", nullptr},
                      Dump{"qemu-virtio.lspci-vvxxxx.txt", nullptr},
                      Dump{"qemu-virtio.lspci-D-vxxx.txt", nullptr},
                      Dump{"qemu-virtio-domain1.lspci-D-vxxx.txt",
                           "qemu-virtio-domain1.lspci-D-vxxx.txt: left out 1 function of PCI domain 0001: "
                           "only domain 0000 is simulated\n"}));

}  // namespace
