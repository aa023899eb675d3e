#include "peer_note.h"

#include <cstdio>
#include <string>
#include <vector>

#include "api/inspect.h"
#include "cli.h"

namespace commands {

namespace {

using quorel::PeerFunction;

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
        text += cli::AddressText(f.bus, f.devfn) + " " + cli::Hex(f.vendor_id, 4) + ":" +
                cli::Hex(f.device_id, 4);
    }
    return text;
}

}  // namespace

void PrintUnreachedNote() {
    const std::vector<PeerFunction> functions = quorel::inspect::UnreachedFunctions();
    if (functions.empty())
        return;
    const bool one = functions.size() == 1;
    std::fprintf(stderr,
                 "note: %u function%s on %s %s not reached from bus 0 (a card there is found "
                 "only with %s=1): %s\n",
                 static_cast<unsigned>(functions.size()), one ? "" : "s", BusesText(functions).c_str(),
                 one ? "is" : "are", quorel::kPeerBusesVariable, FunctionsText(functions).c_str());
}

}  // namespace commands
