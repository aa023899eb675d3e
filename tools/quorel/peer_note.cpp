#include "peer_note.h"

#include <cstdio>
#include <string>
#include <vector>

#include "api/inspect.h"
#include "cli.h"
#include "settings/settings.h"

namespace commands {

namespace {

using quorel::inspect::PeerFunction;

// "bus 01", "bus 01 and bus 12", "bus 01, bus 12 and bus 40": each bus once.
std::string BusesText(const std::vector<PeerFunction>& functions) {
    std::vector<unsigned> buses;
    for (const PeerFunction& f : functions)
        if (buses.empty() || buses.back() != f.bus)
            buses.push_back(f.bus);
    std::string text;
    for (size_t i = 0; i < buses.size(); ++i) {
        if (i > 0)
            text += i + 1 == buses.size() ? " and " : ", ";
        text += "bus " + cli::Hex(buses[i], 2);
    }
    return text;
}

std::string FunctionsText(const std::vector<PeerFunction>& functions) {
    std::string text;
    for (const PeerFunction& f : functions) {
        if (!text.empty())
            text += ", ";
        text += FunctionText(f);
    }
    return text;
}

}  // namespace

std::string FunctionText(const PeerFunction& f) {
    return cli::AddressText(f) + " " + cli::Hex(f.vendor_id, 4) + ":" +
           cli::Hex(f.device_id, 4);
}

std::string UnreachedText(const std::vector<PeerFunction>& functions) {
    const bool one = functions.size() == 1;
    return std::to_string(functions.size()) + " function" + (one ? "" : "s") + " on " +
           BusesText(functions) + (one ? " is" : " are") +
           " not reached from bus 0 (a card there is found only with " +
           quorel::settings::kScanPeerBuses + "=1): " + FunctionsText(functions);
}

void PrintUnreachedNote() {
    const std::vector<PeerFunction> functions = quorel::inspect::UnreachedFunctions();
    if (!functions.empty())
        std::fprintf(stderr, "note: %s\n", UnreachedText(functions).c_str());
}

}  // namespace commands
