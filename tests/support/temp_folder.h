// Every temporary file a test makes lives in a folder of that test's own,
// made at the test's first TempPath and removed with all it holds when the
// test ends; a folder that cannot be removed fails the test. test_main.cpp
// installs the listener that does so.
#ifndef QUOREL_TESTS_TEMP_FOLDER_H
#define QUOREL_TESTS_TEMP_FOLDER_H

#include <gtest/gtest.h>

#include <string>

namespace test_support {

// A new file name in the running test's folder (nothing is created).
std::string TempPath(const std::string& stem);

class TempFolderCleanup : public testing::EmptyTestEventListener {
    void OnTestEnd(const testing::TestInfo& test) override;
    // Files made outside any test (a suite's set-up) go at the very end.
    void OnTestProgramEnd(const testing::UnitTest& unit) override;
};

}  // namespace test_support

#endif  // QUOREL_TESTS_TEMP_FOLDER_H
