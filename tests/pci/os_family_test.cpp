// Windows version classification, with the native build's settable version.
#include <gtest/gtest.h>

#include "pci/os_family.h"
#include "pci/device_list.h"
#include "native_winapi/controls/fake_windows.h"

namespace {

struct VersionCase {
    uint32_t major, minor;
    int32_t family;
};

class OsFamilyTest : public ::testing::TestWithParam<VersionCase> {
protected:
    void SetUp() override { quorel::internal::ResetDiscovery(); }
    void TearDown() override {
        fake_windows::Reset();
        quorel::internal::ResetDiscovery();
    }
};

TEST_P(OsFamilyTest, ClassifiesReportedVersion) {
    fake_windows::SetVersion(GetParam().major, GetParam().minor);
    quorel::ClassifyOs();
    EXPECT_EQ(quorel::OsFamily, GetParam().family);
}

using namespace quorel::os_family;

INSTANTIATE_TEST_SUITE_P(Versions, OsFamilyTest,
                         ::testing::Values(VersionCase{4, 0, kUnclassified}, VersionCase{4, 10, kUnclassified},
                                           VersionCase{4, 89, kUnclassified},
                                           VersionCase{4, 90, kNineXMillennium},
                                           VersionCase{3, 95, kNineXMillennium}, VersionCase{5, 0, kWindows5},
                                           VersionCase{5, 1, kWindows5}, VersionCase{5, 2, kWindows5},
                                           VersionCase{6, 1, kWindows6}, VersionCase{10, 0, kWindows6}));

TEST(OsFamily, FailedVersionQueryKeepsTheEarlierClass) {
    quorel::internal::ResetDiscovery();
    fake_windows::SetVersion(5, 1);
    quorel::ClassifyOs();
    fake_windows::SetVersion(6, 1, /*fails=*/true);
    quorel::ClassifyOs();
    EXPECT_EQ(quorel::OsFamily, kWindows5);
    fake_windows::Reset();
    quorel::internal::ResetDiscovery();
}

}  // namespace
