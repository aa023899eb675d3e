// `quorel doctor` natively over the stand-in: the simulated PC is linked in,
// and says itself which machine it simulates, as the stand-in DLL does.
#include "doctor/platform.h"

namespace doctor {

std::string AddPlatformSections(Report& report) {
    FactList& facts = report.Add("driver_access_library").facts;
    facts.Text("kind", "the stand-in, linked in: a simulated PC").Flag("stand_in", true);
    AddMachineFacts(facts);
    return "";
}

std::string AddCardPlatformFacts(FactList&, const quorel::inspect::Function&) { return ""; }

std::string PlatformHint() { return ""; }

}  // namespace doctor
