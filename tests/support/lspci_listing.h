// Reads what `lspci -n` printed for a machine and what `quorel list --json`
// printed, in one form, to compare a scan with lspci.
#ifndef QUOREL_TESTS_LSPCI_LISTING_H
#define QUOREL_TESTS_LSPCI_LISTING_H

#include <set>
#include <string>

namespace test_support {

// "00:01.0 ffff: 1af4:1045 (rev 01)" becomes "00:01.0 ffff 1af4:1045":
// location, base class and subclass, vendor and device ID.
std::set<std::string> LspciNFunctions(const std::string& text);
// The same form for each object of `quorel list --json`.
std::set<std::string> ListJsonFunctions(const std::string& json);

}  // namespace test_support

#endif  // QUOREL_TESTS_LSPCI_LISTING_H
