// The C++ side of the call-log reader (log_reader.c).
#include <cstdio>

#include "log_reader.h"
#include "machine_text.h"

namespace test_support {

size_t CountCalls(const std::string& log, const std::string& name) {
    return static_cast<size_t>(log_count(log.c_str(), (name + "(").c_str()));
}

std::vector<CfgRead> ConfigReads(const std::string& log) {
    std::vector<CfgRead> reads;
    const char* cursor = log.c_str();
    while (const char* line = log_next(&cursor, "PciCfgRead(")) {
        char location[LOCATION_SIZE] = "";
        unsigned offset = 0;
        int result = 0;
        if (std::sscanf(line, "PciCfgRead(%7[^,], 0x%x) = %d", location, &offset, &result) == 3)
            reads.push_back(CfgRead{location, offset, result == 1});
    }
    return reads;
}

}  // namespace test_support
