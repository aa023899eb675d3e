// For every configuration read the scan of the default machine makes, one
// discovery where exactly that read fails: the scan must finish, and only
// the function that read belongs to (and what hangs off it: its sibling
// functions, the buses behind it) may come out different.
#include <array>
#include <cstdio>

#include "scan_fixture.h"

using namespace quorel;

namespace {

struct RecordView {
    std::string location;
    std::vector<std::string> bridges_above;  // bridges on the way from bus 0
    std::vector<uint32_t> fields;
    std::array<uint8_t, 256> config;

    bool operator==(const RecordView& o) const {
        return location == o.location && fields == o.fields && config == o.config;
    }
};

std::vector<RecordView> Snapshot() {
    std::vector<RecordView> views;
    for (const DeviceRecord* r = device_list; r; r = r->next) {
        RecordView v;
        v.location = ScanTest::LocationOf(r);
        for (const BusNode* b = r->bus; b->bridge; b = b->parent)
            v.bridges_above.push_back(ScanTest::LocationOf(b->bridge));
        v.fields = {r->vendor_id, r->device_id, r->subsystem_vendor_id, r->subsystem_id,
                    r->class_code, r->hdr_type, r->bus_master, r->irq, r->rom_bar};
        v.fields.insert(v.fields.end(), r->bar, r->bar + 6);
        std::copy(r->config_bytes, r->config_bytes + 256, v.config.begin());
        views.push_back(v);
    }
    return views;
}

bool SameSlot(const std::string& a, const std::string& b) { return a.substr(0, 5) == b.substr(0, 5); }

// Records the failed read at `failed` cannot have touched.
std::vector<RecordView> Unaffected(const std::vector<RecordView>& views, const std::string& failed) {
    std::vector<RecordView> out;
    bool function0 = failed.back() == '0';
    for (const RecordView& v : views) {
        bool behind = std::find(v.bridges_above.begin(), v.bridges_above.end(), failed) !=
                      v.bridges_above.end();
        bool sibling = function0 && SameSlot(v.location, failed);
        if (v.location != failed && !behind && !sibling)
            out.push_back(v);
    }
    return out;
}

TEST_F(ScanTest, EveryFailingReadChangesOnlyWhatItFeeds) {
    const std::string machine =
        test_support::ReadFile(test_support::SourcePath("backends/sim/machines/default.lspci"));
    Scan(machine);
    const std::vector<RecordView> baseline = Snapshot();
    const std::vector<test_support::CfgRead> reads = test_support::ConfigReads(Calls());
    ASSERT_GT(baseline.size(), 5u);
    ASSERT_GT(reads.size(), 100u);

    const std::vector<std::string> directives = test_support::FailReadDirectives(reads);
    for (size_t i = 0; i < reads.size(); ++i) {
        const test_support::CfgRead& read = reads[i];
        SCOPED_TRACE(directives[i]);
        internal::ResetDiscovery();
        std::string path = test_support::UseMachine(machine + directives[i] + "\n");
        StartDiscovery();
        std::remove(path.c_str());

        ASSERT_EQ(discovery_done, 1);
        std::vector<RecordView> faulted = Snapshot();
        EXPECT_LE(faulted.size(), baseline.size());
        EXPECT_TRUE(Unaffected(faulted, read.location) == Unaffected(baseline, read.location));
    }
}

}  // namespace
