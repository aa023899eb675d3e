// Why the bus scan found what it found: the library's device list, the
// driver's initialisation and the functions only a peer-bus probe reaches.
// Every command that needs the scan explains an empty one from it.
#ifndef QUOREL_TOOLS_SCAN_DIAGNOSIS_H
#define QUOREL_TOOLS_SCAN_DIAGNOSIS_H

#include <string>
#include <vector>

#include "api/inspect.h"
#include "ulvexa.h"

namespace commands {

enum class ScanOutcome {
    kFound,                 // the device list holds functions
    kDriverNotInitialised,  // InitializeUlvexa failed: every read failed
    kNothingAnswered,       // the driver initialised, no function answered
    kOnlyUnreached,         // functions answer, none reachable from bus 0
    kOnlyUnscanned,         // functions answer only where no scan looks
};

struct ScanFacts {
    ScanOutcome outcome = ScanOutcome::kFound;
    int init_result = ULVEXA_INITIALIZED;  // InitializeUlvexa's byte at discovery
    unsigned found = 0;                    // functions found
    std::vector<quorel::inspect::PeerFunction> unreached;
    std::vector<quorel::inspect::UnscannedFunction> unscanned;  // looked for on an empty scan only
};

// Runs discovery (once per process, as an open does) and looks at it. The
// initialisation's result is asked for only when the list is empty, or
// always with `always_ask_driver`; the functions no scan reaches are
// probed for only when the list is empty.
ScanFacts DiagnoseScan(bool always_ask_driver = false);
// One sentence on an empty scan: "the bus scan found no PCI functions: ...".
std::string EmptyScanText(const ScanFacts& facts);
// Runs discovery (once per process, as an open does). When it found no
// function, reports EmptyScanText as the command's failure, with a hint
// (cli::Fail), and returns false.
bool ScanFoundFunctions();

}  // namespace commands

#endif  // QUOREL_TOOLS_SCAN_DIAGNOSIS_H
