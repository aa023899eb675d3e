// `quorel doctor` on Windows: which Quorel and driver-access DLLs the
// loader would take, from where, of which machine type and version, and
// what the driver-access DLL says it simulates.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dll_facts.h"
#include "doctor_platform.h"
#include "driver/ulvexa.h"
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

// DescribeUlvexa's whole line, asked again with room for it when cut.
std::string Description(DescribeUlvexaFunction describe) {
    std::string line(MAX_PATH, '\0');
    uint32_t length = describe(line.data(), static_cast<uint32_t>(line.size()));
    if (length >= line.size()) {
        line.assign(length + 1, '\0');
        length = describe(line.data(), static_cast<uint32_t>(line.size()));
    }
    line.resize(std::min<size_t>(length, line.size() - 1));
    return line;
}

// The machine the driver-access DLL simulates and why it refused it, as
// the native doctor shows them, when the DLL says (the stand-in does).
void AddMachineFacts(FactList& facts, void* module) {
    const FARPROC found = GetProcAddress(static_cast<HMODULE>(module), "DescribeUlvexa");
    if (!found) {
        facts.Text("machine",
                   "not said: this driver-access DLL does not describe itself (the maker's does not)");
        return;
    }
    const std::string line = Description(reinterpret_cast<DescribeUlvexaFunction>(
        reinterpret_cast<void*>(found)));
    const size_t tab = line.find('\t');
    facts.Text("machine", line.substr(0, tab));
    if (tab != std::string::npos)
        facts.Text("machine_refused", line.substr(tab + 1));
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
        AddMachineFacts(facts, driver.module);
    }
    std::string reason;
    return driver.Usable(reason) ? "" : reason;
}

std::string AddCardPlatformFacts(FactList&, const quorel::DeviceRecord*) { return ""; }

std::string PlatformHint() { return ""; }

}  // namespace doctor
