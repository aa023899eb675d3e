// `quorel doctor` natively over the stand-in: the simulated PC is linked in.
#include <cstdlib>

#include "doctor_platform.h"

namespace doctor {

std::string AddPlatformSections(Report& report) {
    const char* machine = std::getenv("QUOREL_SIM_MACHINE");
    report.Add("driver_access_library").facts
        .Text("kind", "the stand-in, linked in: a simulated PC")
        .Flag("stand_in", true)
        .Text("machine", machine && *machine ? machine : "the default machine");
    return "";
}

std::string AddCardPlatformFacts(FactList&, const quorel::DeviceRecord*) { return ""; }

std::string PlatformHint() { return ""; }

}  // namespace doctor
