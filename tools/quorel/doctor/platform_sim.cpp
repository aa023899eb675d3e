// `quorel doctor` natively over the stand-in: the simulated PC is linked in,
// and says itself which machine it simulates.
#include "doctor/platform.h"
#include "simulated_machine.h"

namespace doctor {

std::string AddPlatformSections(Report& report) {
    const quorel::sim::MachineReport machine = quorel::sim::SimulatedMachine();
    FactList& facts = report.Add("driver_access_library").facts;
    facts.Text("kind", "the stand-in, linked in: a simulated PC")
        .Flag("stand_in", true)
        .Text("machine", machine.source);
    if (!machine.problem.empty())
        facts.Text("machine_refused", machine.problem);
    return "";
}

std::string AddCardPlatformFacts(FactList&, const quorel::inspect::Function&) { return ""; }

std::string PlatformHint() { return ""; }

}  // namespace doctor
