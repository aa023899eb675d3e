#include "scan_diagnosis.h"


#include "cli.h"
#include "driver_binding.h"
#include "failure.h"
#include "peer_note.h"
#include "settings/settings.h"

namespace commands {

namespace {

// Where to look next: what the driver-access library read, as it says
// ("the snapshot DIR"), and the stand-in's call log.
std::string EmptyScanHint() {
    const driver_binding::Description read = driver_binding::Describe();
    const std::string log = std::string("With the stand-in library, ") + quorel::settings::kSimLog +
                            "=stderr shows every call.";
    const std::string head = ".\n  `quorel doctor` says more. ";
    return head + (read.given ? "The driver-access library reads " + read.what + ": check it. " : "") + log;
}

// Why the peer-bus probe misses a function whose device lacks function 0,
// and what a machine file needs for the replay to find it.
std::string WithoutFunction0Text(const quorel::inspect::PeerFunction& f) {
    const std::string bus = cli::Hex(f.bus, 2);
    const std::string device = cli::AddressText(f).substr(0, 5);  // "03:00"
    return "no bridge from bus 0 leads to bus " + bus +
           ", and the peer-bus probe finds a bus by function 0 of its devices, which " + device +
           " lacks (a machine file needs " + device + ".0 too, `sudo lspci -vvxxx -s " + device +
           "` dumps the whole device, or the bridges that lead to bus " + bus + ")";
}

}  // namespace

ScanFacts DiagnoseScan(bool always_ask_driver) {
    ScanFacts facts;
    facts.found = quorel::inspect::Discover();
    facts.unreached = quorel::inspect::UnreachedFunctions();
    if (facts.found == 0 || always_ask_driver)
        facts.init_result = quorel::inspect::DriverInitResult();
    if (facts.found == 0)
        facts.unscanned = quorel::inspect::FunctionsNoScanReaches();
    if (facts.found != 0)
        facts.outcome = ScanOutcome::kFound;
    else if (facts.init_result != ULVEXA_INITIALIZED)
        facts.outcome = ScanOutcome::kDriverNotInitialised;
    else if (!facts.unreached.empty())
        facts.outcome = ScanOutcome::kOnlyUnreached;
    else if (!facts.unscanned.empty())
        facts.outcome = ScanOutcome::kOnlyUnscanned;
    else
        facts.outcome = ScanOutcome::kNothingAnswered;
    return facts;
}

namespace {

std::string UnscannedText(const std::vector<quorel::inspect::UnscannedFunction>& functions) {
    std::string text;
    for (const quorel::inspect::UnscannedFunction& f : functions) {
        text += (text.empty() ? "" : "; ") + FunctionText(f.at) + " answers where no scan looks: ";
        text += f.last_devfn
                    ? "the library's scan never probes device 1f function 7, so no open reaches it"
                    : WithoutFunction0Text(f.at);
    }
    return text;
}

}  // namespace

std::string EmptyScanText(const ScanFacts& facts) {
    const std::string head = "the bus scan found no PCI functions: ";
    switch (facts.outcome) {
    case ScanOutcome::kDriverNotInitialised:
        return head + "the driver-access library did not initialise (InitializeUlvexa returned " +
               std::to_string(facts.init_result) + ")";
    case ScanOutcome::kNothingAnswered:
        return head + "the driver-access library initialised, but no configuration read found "
                      "a function on any bus";
    case ScanOutcome::kOnlyUnreached:
        return head + UnreachedText(facts.unreached) +
               (facts.unscanned.empty() ? "" : "; " + UnscannedText(facts.unscanned));
    case ScanOutcome::kOnlyUnscanned:
        return head + UnscannedText(facts.unscanned);
    case ScanOutcome::kFound:
        break;
    }
    return std::to_string(facts.found) + " PCI functions found";
}

bool ScanFoundFunctions() {
    if (quorel::inspect::Discover())
        return true;
    cli::Fail(EmptyScanText(DiagnoseScan()), EmptyScanHint());
    return false;
}

}  // namespace commands
