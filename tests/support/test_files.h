// Files, the environment and the repository's own files, for tests: nothing
// of the library, so that tests of a driver-access library on its own use
// them too.
#ifndef QUOREL_TESTS_TEST_FILES_H
#define QUOREL_TESTS_TEST_FILES_H

#include <string>

namespace test_support {

void SetEnv(const char* name, const char* value);  // null value unsets
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& text);
std::string SourcePath(const std::string& relative);  // a file of the repository
size_t Count(const std::string& text, const std::string& part);  // occurrences, overlapping too

}  // namespace test_support

#endif  // QUOREL_TESTS_TEST_FILES_H
