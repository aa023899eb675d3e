// The main of every GoogleTest program here: GoogleTest's own, plus the
// removal of each test's temporary folder when the test ends.
#include <gtest/gtest.h>

#include "temp_folder.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new test_support::TempFolderCleanup);
    return RUN_ALL_TESTS();
}
