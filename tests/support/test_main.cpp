// The main of every GoogleTest program here: GoogleTest's own, plus the
// removal of each test's temporary folder when the test ends.
#include <gtest/gtest.h>

#include "sim_machine.h"
#include "temp_folder.h"

int main(int argc, char** argv) {
    // Every scan a test runs is of bus 0's hierarchy unless the test asks
    // for the peer root buses itself, whatever the user's shell has set.
    test_support::SetEnv("QUOREL_SCAN_PEER_BUSES", nullptr);
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new test_support::TempFolderCleanup);
    return RUN_ALL_TESTS();
}
