#include "lspci_listing.h"

#include <sstream>

namespace test_support {

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

}  // namespace test_support
