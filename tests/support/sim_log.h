// Reads the stand-in library's call log back, for tests that check which
// calls the library made and with what.
#ifndef QUOREL_TESTS_SIM_LOG_H
#define QUOREL_TESTS_SIM_LOG_H

#include <cstdint>
#include <string>
#include <vector>

namespace test_support {

struct SimCall {
    std::string name;   // e.g. "PciCfgRead"
    std::string args;   // text between the parentheses
    std::string result; // text after " = ", empty for void calls
};

struct CfgRead {
    std::string location;  // "bb:dd.f"
    unsigned offset;
    bool ok;
};

std::vector<SimCall> ParseSimLog(const std::string& text);
std::vector<CfgRead> ConfigReads(const std::vector<SimCall>& calls);
size_t CountCalls(const std::vector<SimCall>& calls, const std::string& name);

}  // namespace test_support

#endif  // QUOREL_TESTS_SIM_LOG_H
