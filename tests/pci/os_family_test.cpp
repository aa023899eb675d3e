// Windows version classification, with the native build's settable version.
#include <gtest/gtest.h>

#include "pci/config_access.h"
#include "pci/device_list.h"
#include "platform/native/fake_windows.h"

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

INSTANTIATE_TEST_SUITE_P(Versions, OsFamilyTest,
                         ::testing::Values(VersionCase{4, 0, 0}, VersionCase{4, 10, 0},
                                           VersionCase{4, 89, 0}, VersionCase{4, 90, 1},
                                           VersionCase{3, 95, 1}, VersionCase{5, 0, 3},
                                           VersionCase{5, 1, 3}, VersionCase{5, 2, 3},
                                           VersionCase{6, 1, 4}, VersionCase{10, 0, 4}));

TEST(OsFamily, FailedVersionQueryKeepsTheEarlierClass) {
    quorel::internal::ResetDiscovery();
    fake_windows::SetVersion(5, 1);
    quorel::ClassifyOs();
    fake_windows::SetVersion(6, 1, /*fails=*/true);
    quorel::ClassifyOs();
    EXPECT_EQ(quorel::OsFamily, 3);
    fake_windows::Reset();
    quorel::internal::ResetDiscovery();
}

}  // namespace
