#include "lspci_listing.h"

#include <cstdio>
#include <regex>
#include <sstream>

#include "machine_text.h"

namespace test_support {

namespace {

std::string Hex(long value, int digits) {
    char buf[16];
    std::snprintf(buf, sizeof(buf), "%0*lx", digits, value);
    return buf;
}

}  // namespace

std::set<std::string> LspciNFunctions(const std::string& text) {
    std::set<std::string> out;
    std::istringstream in(text);
    std::string line, location, cls, ids;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        if (fields >> location >> cls >> ids)
            out.insert(location + " " + cls.substr(0, cls.size() - 1) + " " + ids);
    }
    return out;
}

std::set<std::string> ListJsonFunctions(const std::string& json) {
    std::set<std::string> out;
    std::regex object(R"(\{"bus": (\d+), "devfn": (\d+), "vendor_id": (\d+), "device_id": (\d+), )"
                      R"("subsystem_vendor_id": \d+, "subsystem_id": \d+, "class_code": (\d+), )"
                      R"("hdr_type": \d+, "bus_master": [01], "irq": \d+, "bar": \[(\d+, ){5}\d+\], )"
                      R"("rom_bar": \d+[,}])");
    for (std::sregex_iterator it(json.begin(), json.end(), object), end; it != end; ++it) {
        const std::smatch& m = *it;
        long devfn = std::stol(m[2]);
        out.insert(LocationText(std::stol(m[1]), devfn >> 3, devfn & 7) + " " +
                   Hex(std::stol(m[5]) >> 8, 4) + " " + Hex(std::stol(m[3]), 4) + ":" +
                   Hex(std::stol(m[4]), 4));
    }
    return out;
}

}  // namespace test_support
