// A real machine's `lspci -xxx` dump, replayed through the stand-in library,
// must list the functions `lspci -n` printed for the same machine.
#include <set>
#include <sstream>

#include "scan_fixture.h"

namespace {

// "00:01.0 ffff: 1af4:1045 (rev 01)" -> "00:01.0 ffff 1af4:1045"
std::set<std::string> FromLspciN(const std::string& text) {
    std::set<std::string> out;
    std::istringstream in(text);
    std::string location, cls, ids;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        if (fields >> location >> cls >> ids)
            out.insert(location + " " + cls.substr(0, cls.size() - 1) + " " + ids);
    }
    return out;
}

std::set<std::string> FromScan() {
    std::set<std::string> out;
    for (const quorel::DeviceRecord* r = quorel::device_list; r; r = r->next) {
        char buf[64];
        std::snprintf(buf, sizeof(buf), "%02x:%02x.%u %04x %04x:%04x", r->bus->number,
                      r->devfn >> 3, r->devfn & 7, r->class_code >> 8, r->vendor_id,
                      r->device_id);
        out.insert(buf);
    }
    return out;
}

class ReplayTest : public ScanTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(ReplayTest, ListsWhatLspciPrinted) {
    const std::string dir = test_support::SourcePath("tests/data/replay/");
    Scan(test_support::ReadFile(dir + GetParam()));
    std::set<std::string> expected = FromLspciN(test_support::ReadFile(dir + "qemu-virtio.lspci-n.txt"));
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(FromScan(), expected);
    EXPECT_EQ(Locations().size(), expected.size());  // nothing listed twice
}

INSTANTIATE_TEST_SUITE_P(Dumps, ReplayTest,
                         ::testing::Values("qemu-virtio.lspci-xxx.txt", "qemu-virtio.lspci-x.txt"));

}  // namespace
