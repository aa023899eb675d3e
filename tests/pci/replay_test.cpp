// A real machine's `lspci -xxx` dump, replayed through the stand-in library,
// must list the functions `lspci -n` printed for the same machine.
#include <set>

#include "lspci_listing.h"
#include "scan_fixture.h"

namespace {

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

class ReplayTest : public ScanTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(ReplayTest, ListsWhatLspciPrinted) {
    const std::string dir = test_support::SourcePath("tests/data/replay/");
    Scan(test_support::ReadFile(dir + GetParam()));
    std::set<std::string> expected = test_support::LspciNFunctions(test_support::ReadFile(dir + "qemu-virtio.lspci-n.txt"));
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(FromScan(), expected);
    EXPECT_EQ(Locations().size(), expected.size());  // nothing listed twice
}

INSTANTIATE_TEST_SUITE_P(Dumps, ReplayTest,
                         ::testing::Values("qemu-virtio.lspci-xxx.txt", "qemu-virtio.lspci-x.txt"));

}  // namespace
