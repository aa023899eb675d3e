#include "driver_binding.h"

#include <algorithm>
#include <functional>

#include "ulvexa.h"

#ifdef _WIN32
#include <windows.h>

#include "dll_facts.h"
#endif

namespace driver_binding {

namespace {

#if defined(_WIN64)
constexpr char kDriverDll[] = "Ulvexa64.dll";
#elif defined(_WIN32)
constexpr char kDriverDll[] = "Ulvexa32.dll";
#endif

#ifdef _WIN32
// Why the loader refused the first copy on the search path, in words.
std::string LoadFailure(unsigned long error) {
    const std::vector<dll_facts::DllFile> copies = dll_facts::FindOnSearchPath(kDriverDll);
    const std::string code = " (error " + std::to_string(error) + ")";
    if (copies.empty())
        return std::string(kDriverDll) + " is neither beside quorel.exe, in the Windows folders, in "
               "the current folder nor on PATH" + code;
    const dll_facts::DllFile& first = copies.front();
    if (first.machine != dll_facts::ProcessMachine())
        return first.path + " is " + dll_facts::MachineText(first.machine) + ", but this program is " +
               dll_facts::MachineText(dll_facts::ProcessMachine()) + code;
    return first.path + " could not be loaded" + code;
}

Binding Load() {
    Binding b;
    b.name = kDriverDll;
    // No dialog box from the loader for a bad image: we report it.
    const UINT old_mode = SetErrorMode(SEM_FAILCRITICALERRORS);
    HMODULE module = LoadLibraryA(kDriverDll);
    b.error = module ? 0 : GetLastError();
    SetErrorMode(old_mode);
    if (!module) {
        b.why = LoadFailure(b.error);
        return b;
    }
    // Kept loaded: the delay-load helper finds this module at the first call.
    b.loaded = true;
    b.module = module;
    b.path = dll_facts::ModulePath(module);
    for (const std::string& function : ImportedFunctions())
        if (!GetProcAddress(module, function.c_str()))
            b.missing.push_back(function);
    return b;
}

// One of the loaded DLL's optional exports; null when it lacks it.
template <typename Function>
Function OptionalExport(const char* name) {
    const Binding& binding = Bind();
    const FARPROC found = binding.loaded ? GetProcAddress(static_cast<HMODULE>(binding.module), name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(found));
}

// DescribeUlvexa and UlvexaWindowModel, which only some DLLs export.
DescribeUlvexaFunction Describer() { return OptionalExport<DescribeUlvexaFunction>("DescribeUlvexa"); }
UlvexaWindowModelFunction ModelNamer() { return OptionalExport<UlvexaWindowModelFunction>("UlvexaWindowModel"); }
#else
Binding Load() {
    Binding b;
    b.name = "linked in";
    b.loaded = true;
    return b;
}

// Every backend linked in natively describes itself and names models.
DescribeUlvexaFunction Describer() { return DescribeUlvexa; }
UlvexaWindowModelFunction ModelNamer() { return UlvexaWindowModel; }
#endif

// The whole text an export copies as DescribeUlvexa does, asked again with
// room for it when cut.
std::string CopiedText(const std::function<uint32_t(char*, uint32_t)>& copy) {
    std::string line(256, '\0');
    uint32_t length = copy(line.data(), static_cast<uint32_t>(line.size()));
    if (length >= line.size()) {
        line.assign(length + 1, '\0');
        length = copy(line.data(), static_cast<uint32_t>(line.size()));
    }
    line.resize(std::min<size_t>(length, line.size() - 1));
    return line;
}

}  // namespace

bool Binding::Usable(std::string& reason) const {
    if (!loaded) {
        reason = "the driver-access library cannot be loaded: " + why;
        return false;
    }
    if (!missing.empty()) {
        reason = path + " lacks " + missing.front() + (missing.size() > 1 ? " and more" : "") +
                 ": it is not a driver-access library for Quorel";
        return false;
    }
    return true;
}

std::vector<std::string> ImportedFunctions() {
    std::vector<std::string> functions = {"InitializeUlvexa", "MapPhysToLin", "PciCfgRead",
                                          "RemoveUlvexaDriver", "ShutdownUlvexa"};
    if (sizeof(void*) == 4)
        functions.push_back("PciCfgWrite");  // the 32-bit DLL also imports the writer
    return functions;
}

const Binding& Bind() {
    static const Binding binding = Load();
    return binding;
}

Description Describe() {
    Description description;
    const DescribeUlvexaFunction describe = Describer();
    if (!describe)
        return description;
    const std::string line = CopiedText(describe);
    const size_t tab = line.find('\t');
    description.given = true;
    description.what = line.substr(0, tab);
    description.refused = tab == std::string::npos ? "" : line.substr(tab + 1);
    return description;
}

std::string WindowModel(uint64_t phys_addr) {
    const UlvexaWindowModelFunction name_model = ModelNamer();
    if (!name_model)
        return "";
    return CopiedText([&](char* path, uint32_t size) { return name_model(phys_addr, path, size); });
}

}  // namespace driver_binding
