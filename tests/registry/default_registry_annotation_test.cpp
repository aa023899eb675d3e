// The default machine with its registry in each Windows style: every
// function is annotated, and a failing registry call, whichever it is,
// costs no more than the entry it belongs to, leaks no handle and never
// crashes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "pci/device_list.h"
#include "native_winapi/controls/fake_registry.h"
#include "native_winapi/controls/fake_windows.h"
#include "registry/annotate.h"
#include "sim_machine.h"
#include "windows_styles.h"

using namespace quorel;

namespace {

using Style = test_support::WindowsStyle;

struct View {
    uint32_t ids;
    std::string hardware_key;
    std::string texts;  // every registry field
    bool operator!=(const View& o) const { return texts != o.texts; }
};

void ClearAnnotations() {
    for (DeviceRecord* r = device_list; r; r = r->next) {
        r->registry_matched = 0;
        r->device_desc[0] = r->hardware_key[0] = r->config_manager_key[0] = 0;
        r->class_guid_text[0] = 0;
        std::memset(&r->class_guid, 0, sizeof(r->class_guid));
    }
}

// One annotation from scratch, the nth registry call failing (0: none),
// into *views; fails when the registry does not load or a key stays open.
::testing::AssertionResult Annotate(const Style& style, uint64_t failing_call, std::vector<View>* views) {
    views->clear();
    std::string error;
    if (!fake_registry::LoadFile(test_support::SourcePath(std::string("backends/sim/machines/") + style.file), &error))
        return ::testing::AssertionFailure() << error;
    ClearAnnotations();
    fake_registry::FailNthCall(failing_call);
    AnnotateFromRegistry();
    for (const DeviceRecord* r = device_list; r; r = r->next)
        views->push_back({uint32_t(r->vendor_id) << 16 | r->device_id, r->hardware_key,
                          std::to_string(r->registry_matched) + "|" + r->device_desc + "|" +
                              r->hardware_key + "|" + r->config_manager_key + "|" +
                              r->class_guid_text + "|" + std::to_string(r->class_guid.Data1)});
    if (fake_registry::OpenHandles() != 0)
        return ::testing::AssertionFailure() << fake_registry::OpenHandles() << " keys left open";
    return ::testing::AssertionSuccess();
}

class DefaultRegistry : public ::testing::TestWithParam<Style> {
protected:
    void SetUp() override {
        internal::ResetDiscovery();
        fake_windows::SetVersion(GetParam().major, GetParam().minor);
        StartDiscovery();
        ASSERT_NE(device_list, nullptr);
    }
    void TearDown() override {
        internal::ResetDiscovery();
        fake_windows::Reset();
        fake_registry::Reset();
    }
};

TEST_P(DefaultRegistry, AnnotatesEveryFunction) {
    std::vector<View> views;
    ASSERT_TRUE(Annotate(GetParam(), 0, &views));
    for (const View& v : views)
        EXPECT_EQ(v.texts.substr(0, 2), "1|") << v.texts;
}

// True when a record whose annotation changed got either nothing or the
// hardware key of a record with its own IDs: on the 9x family a failure
// can end the walk or shift the pairing among records of one ID pair, but
// never pair an entry with a record of other IDs.
bool PairedWithinItsIds(const View& changed, const std::vector<View>& good) {
    if (changed.hardware_key.empty())
        return true;
    for (const View& g : good)
        if (g.ids == changed.ids && g.hardware_key == changed.hardware_key)
            return true;
    return false;
}

// On the NT family each call belongs to one record's lookup, so a failure
// changes at most that record.
TEST_P(DefaultRegistry, EachFailingCallCostsOnlyItsEntry) {
    std::vector<View> good, views;
    ASSERT_TRUE(Annotate(GetParam(), 0, &good));
    const uint64_t calls = fake_registry::Calls();
    ASSERT_GT(calls, good.size());
    for (uint64_t n = 1; n <= calls; ++n) {
        EXPECT_TRUE(Annotate(GetParam(), n, &views)) << "call " << n;
        size_t changed = 0;
        for (size_t i = 0; i < views.size(); ++i) {
            if (views[i] != good[i]) {
                ++changed;
                EXPECT_TRUE(PairedWithinItsIds(views[i], good)) << "call " << n << ": " << views[i].texts;
            }
        }
        if (GetParam().Nt()) {
            EXPECT_LE(changed, 1u) << "call " << n;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Styles, DefaultRegistry, ::testing::ValuesIn(test_support::kWindowsStyles),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
