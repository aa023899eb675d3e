// The part of `quorel doctor` that differs by platform: on Windows where
// the Quorel and driver-access DLLs come from (platform_windows.cpp);
// natively which backend is linked in and, over sysfs, the kernel's view of
// each card (platform_sim.cpp, platform_sysfs.cpp).
#ifndef QUOREL_TOOLS_DOCTOR_PLATFORM_H
#define QUOREL_TOOLS_DOCTOR_PLATFORM_H

#include <string>

#include "api/inspect.h"
#include "doctor/report.h"

namespace doctor {

// Adds the platform's sections. Returns why the driver-access library
// cannot be called at all (the scan is then skipped), or "".
std::string AddPlatformSections(Report& report);
// Adds the platform's facts about one card. Returns what in them would keep
// its window from being mapped, or "".
std::string AddCardPlatformFacts(FactList& card, const quorel::inspect::Function& function);
// What the platform suspects when no card opens (kernel lockdown), or "".
std::string PlatformHint();

// For the platforms' sections: "machine", what the driver-access library
// says it simulates, and "machine_refused", why it refused that.
void AddMachineFacts(FactList& facts);

}  // namespace doctor

#endif  // QUOREL_TOOLS_DOCTOR_PLATFORM_H
