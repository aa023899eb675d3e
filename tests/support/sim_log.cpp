#include "sim_log.h"

#include <cstdlib>
#include <sstream>

namespace test_support {

std::vector<SimCall> ParseSimLog(const std::string& text) {
    std::vector<SimCall> calls;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        size_t open = line.find('(');
        size_t close = line.rfind(')');
        if (open == std::string::npos || close == std::string::npos || close < open)
            continue;
        SimCall call{line.substr(0, open), line.substr(open + 1, close - open - 1), ""};
        size_t eq = line.find(" = ", close);
        if (eq != std::string::npos)
            call.result = line.substr(eq + 3);
        calls.push_back(call);
    }
    return calls;
}

std::vector<CfgRead> ConfigReads(const std::vector<SimCall>& calls) {
    std::vector<CfgRead> reads;
    for (const SimCall& c : calls) {
        if (c.name != "PciCfgRead")
            continue;
        // "bb:dd.f, 0xooo"
        size_t comma = c.args.find(',');
        CfgRead r{c.args.substr(0, comma),
                  static_cast<unsigned>(std::strtoul(c.args.c_str() + comma + 2, nullptr, 16)),
                  c.result.rfind("1", 0) == 0};
        reads.push_back(r);
    }
    return reads;
}

size_t CountCalls(const std::vector<SimCall>& calls, const std::string& name) {
    size_t n = 0;
    for (const SimCall& c : calls)
        n += c.name == name;
    return n;
}

}  // namespace test_support
