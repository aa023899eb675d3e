/*
 * Reads back the stand-in library's call log ("PciCfgRead(00:03.0, 0x000) =
 * 1 0x494f6a5d", one call per line), for tests that check which calls the
 * library made and with what. Plain C for the end-to-end program; C++
 * tests get the counts and configuration reads below.
 */
#ifndef QUOREL_TESTS_LOG_READER_H
#define QUOREL_TESTS_LOG_READER_H

#ifdef __cplusplus
extern "C" {
#endif

/* The next line at or after *cursor that starts with `call` (e.g.
   "MapPhysToLin("; "" matches every line), as a pointer into the log;
   *cursor moves past it. NULL at the end of the log. */
const char *log_next(const char **cursor, const char *call);
/* How many lines of `log` start with `call`. */
int log_count(const char *log, const char *call);

#ifdef __cplusplus
}  // extern "C"

#include <cstdint>
#include <string>
#include <vector>

namespace test_support {

// Calls of the function `name` (e.g. "PciCfgWrite") in the log text.
size_t CountCalls(const std::string& log, const std::string& name);

struct CfgRead {
    std::string location;  // "bb:dd.f"
    unsigned offset;
    bool ok;
};

// Every PciCfgRead in the log, in order.
std::vector<CfgRead> ConfigReads(const std::string& log);

// For each read, the machine-file line that makes exactly that read fail:
// "fail-read bb:dd.f 0xOOO N", N counting the reads of that location and
// offset up to it.
std::vector<std::string> FailReadDirectives(const std::vector<CfgRead>& reads);

// The physical address of every MapPhysToLin in the log, in order.
std::vector<uint64_t> MappedAddresses(const std::string& log);

}  // namespace test_support
#endif  // __cplusplus

#endif /* QUOREL_TESTS_LOG_READER_H */
