// The C++ side of the call-log reader (log_reader.c).
#include <cinttypes>
#include <cstdio>
#include <map>
#include <utility>

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

std::vector<std::string> FailReadDirectives(const std::vector<CfgRead>& reads) {
    std::map<std::pair<std::string, unsigned>, unsigned> seen;
    std::vector<std::string> directives;
    for (const CfgRead& read : reads) {
        char directive[64];
        std::snprintf(directive, sizeof(directive), "fail-read %s 0x%03x %u", read.location.c_str(),
                      read.offset, ++seen[{read.location, read.offset}]);
        directives.push_back(directive);
    }
    return directives;
}

std::vector<uint64_t> MappedAddresses(const std::string& log) {
    std::vector<uint64_t> addresses;
    const char* cursor = log.c_str();
    while (const char* line = log_next(&cursor, "MapPhysToLin(")) {
        uint64_t address = 0;
        if (std::sscanf(line, "MapPhysToLin(length=%*x, phys_addr=0x%" SCNx64 ")", &address) == 1)
            addresses.push_back(address);
    }
    return addresses;
}

}  // namespace test_support
