#include "scan_diagnosis.h"

#include "failure.h"
#include "peer_note.h"

namespace commands {

ScanFacts DiagnoseScan(bool always_ask_driver) {
    ScanFacts facts;
    for (const quorel::DeviceRecord* r = quorel::inspect::Discover(); r; r = r->next)
        ++facts.found;
    facts.unreached = quorel::inspect::UnreachedFunctions();
    if (facts.found == 0 || always_ask_driver)
        facts.init_result = quorel::inspect::DriverInitResult();
    if (facts.found != 0)
        facts.outcome = ScanOutcome::kFound;
    else if (facts.init_result != 1)
        facts.outcome = ScanOutcome::kDriverNotInitialised;
    else if (facts.unreached.empty())
        facts.outcome = ScanOutcome::kNothingAnswered;
    else
        facts.outcome = ScanOutcome::kOnlyUnreached;
    return facts;
}

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
        return head + UnreachedText(facts.unreached);
    case ScanOutcome::kFound:
        break;
    }
    return std::to_string(facts.found) + " PCI functions found";
}

bool ScanFoundFunctions() {
    if (quorel::inspect::Discover())
        return true;
    cli::Fail(EmptyScanText(DiagnoseScan()),
              ".\n  `quorel doctor` says more. With the stand-in library: check "
              "QUOREL_SIM_MACHINE; QUOREL_SIM_LOG=stderr shows every call.");
    return false;
}

}  // namespace commands
