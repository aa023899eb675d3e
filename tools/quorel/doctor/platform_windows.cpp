// `quorel doctor` on Windows: which Quorel and driver-access DLLs the
// loader would take, from where, of which machine type and version, and
// what the driver-access DLL says it simulates.
#include <string>
#include <vector>

#include "dll_facts.h"
#include "doctor/platform.h"
#include "driver_binding.h"

namespace doctor {

namespace {

#ifdef _WIN64
constexpr char kQuorelDll[] = "Quorel_64.dll";
#else
constexpr char kQuorelDll[] = "Quorel_32D.dll";
#endif
// How our stand-in's version resource describes it.
constexpr char kStandInDescription[] = "Quorel stand-in driver-access library";

// One line per copy on the search path, the loader's first choice first.
std::vector<std::string> CopiesText(const std::vector<dll_facts::DllFile>& copies) {
    std::vector<std::string> lines;
    for (const dll_facts::DllFile& f : copies) {
        std::string line = f.path + ": " + dll_facts::MachineText(f.machine);
        if (f.machine != dll_facts::ProcessMachine())
            line += ", which this " + dll_facts::MachineText(dll_facts::ProcessMachine()) +
                    " program cannot load";
        line += f.version.empty() ? ", no version" : ", version " + f.version;
        if (!f.description.empty())
            line += ", \"" + f.description + "\"";
        lines.push_back(line);
    }
    return lines;
}

bool IsStandIn(const std::string& path) {
    return dll_facts::Describe(path).description.rfind(kStandInDescription, 0) == 0;
}

}  // namespace

std::string AddPlatformSections(Report& report) {
    report.Add("quorel_dll").facts
        .Text("name", kQuorelDll)
        .Text("this_tool", "has the library built in; a program here would load the first copy below")
        .List("on_search_path", CopiesText(dll_facts::FindOnSearchPath(kQuorelDll)));

    const driver_binding::Binding& driver = driver_binding::Bind();
    FactList& facts = report.Add("driver_access_library").facts;
    facts.Text("name", driver.name)
        .List("on_search_path", CopiesText(dll_facts::FindOnSearchPath(driver.name)))
        .Text("loaded", driver.loaded ? driver.path : "no: " + driver.why);
    if (driver.loaded) {
        facts.Flag("stand_in", IsStandIn(driver.path)).List("missing_functions", driver.missing);
        AddMachineFacts(facts);
    }
    std::string reason;
    return driver.Usable(reason) ? "" : reason;
}

std::string AddCardPlatformFacts(FactList&, const quorel::inspect::Function&) { return ""; }

std::string PlatformHint() { return ""; }

}  // namespace doctor
