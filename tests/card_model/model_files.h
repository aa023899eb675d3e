// What the card-model tests share: sequence files without a disk, the
// example model's path, and a check of log lines.
#ifndef QUOREL_TESTS_CARD_MODEL_MODEL_FILES_H
#define QUOREL_TESTS_CARD_MODEL_MODEL_FILES_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorel::card_model {

constexpr const char* kAcquisitionModel = "backends/sim/models/acquisition.toml";

// A ReadFileFunction over a few fixed files: seq.txt (1, 2, 3), over.txt
// (300 on its line 3), empty.txt (a comment only); any other is missing.
bool ReadFakeFile(const std::string& path, std::string* text, std::string* why);

// Each expected part found in a line of the log, each in a later line than
// the one before.
::testing::AssertionResult InOrder(const std::vector<std::string>& log,
                                   const std::vector<std::string>& expected);

}  // namespace quorel::card_model

#endif  // QUOREL_TESTS_CARD_MODEL_MODEL_FILES_H
