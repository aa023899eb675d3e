// The six functions of the driver-access library over Linux sysfs: this
// machine's own PCI bus, with no driver of the card maker's. Configuration
// reads go to each function's `config` file, register windows are its
// `resource0` file mapped into the process. DescribeUlvexa names the root
// it reaches.
#include <cerrno>
#include <mutex>
#include <string>
#include <vector>

#include "config_space.h"
#include "process_env/process_env.h"
#include "sysfs_tree.h"
#include "ulvexa.h"
#include "window_map.h"

namespace quorel::sysfs {

namespace {

struct Backend {
    std::mutex lock;
    bool driver_open = false;
    std::string init_problem;  // why the last InitializeUlvexa failed
    ConfigSpace config;
    WindowMaps windows;
};

// Never destroyed: a window handed out must stay valid for as long as the
// process runs, also while other modules are being unloaded at exit.
Backend& State() {
    static Backend* backend = new Backend;
    return *backend;
}

// Why configuration space cannot be read, or "" when it can: the devices
// directory lists, and the first function's `config` opens (a tree without
// functions reads as an empty bus).
std::string ConfigProblem(ConfigSpace& config) {
    std::vector<PciAddress> functions;
    std::string error;
    if (!ListFunctions(&functions, &error))
        return "cannot read PCI configuration space: " + error + " (no PCI bus, or no sysfs here)";
    uint32_t ids = 0;
    if (functions.empty() || config.Read(functions.front(), 0, &ids))
        return "";
    return ErrnoText("cannot read PCI configuration space: " + FunctionFile(functions.front(), "config"),
                     errno);
}

// Says on stderr why configuration space cannot be read; a program
// initialises again and again (every open does), so the same reason is
// said once, until an initialisation finds another or none.
bool CanReadConfig(Backend& backend) {
    std::string problem = ConfigProblem(backend.config);
    if (!problem.empty() && problem != backend.init_problem)
        Complain(problem);
    backend.init_problem = problem;
    return problem.empty();
}

PciAddress At(uint8_t bus, uint8_t device, uint8_t function) { return PciAddress{bus, device, function}; }

// What every call starts with: the state, under its lock.
struct Call {
    Backend& backend = State();
    std::lock_guard<std::mutex> hold{backend.lock};
};

}  // namespace

}  // namespace quorel::sysfs

using quorel::sysfs::At;
using quorel::sysfs::Call;

extern "C" {

uint8_t ULVEXA_API InitializeUlvexa(void) {
    Call call;
    call.backend.config.Release();  // the tree may have changed since
    call.backend.driver_open = quorel::sysfs::CanReadConfig(call.backend);
    return call.backend.driver_open ? ULVEXA_INITIALIZED : 0;
}

void ULVEXA_API RemoveUlvexaDriver(void) {
    Call call;
    call.backend.driver_open = false;
    call.backend.config.Release();
}

void ULVEXA_API ShutdownUlvexa(void) { RemoveUlvexaDriver(); }

// Works with the driver closed too: the caller maps after releasing it.
uint8_t* ULVEXA_API MapPhysToLin(PhysMapRecord* record) {
    Call call;
    return record ? call.backend.windows.Map(record->length, record->phys_addr, call.backend.config)
                  : nullptr;
}

uint8_t ULVEXA_API PciCfgRead(uint8_t bus, uint8_t device, uint8_t function, uint16_t offset,
                              uint32_t* value) {
    Call call;
    return call.backend.driver_open && value &&
           call.backend.config.Read(At(bus, device, function), offset, value);
}

uint8_t ULVEXA_API PciCfgWrite(uint8_t bus, uint8_t device, uint8_t function, uint16_t offset,
                               uint32_t value) {
    Call call;
    return call.backend.driver_open && call.backend.config.Write(At(bus, device, function), offset, value);
}

// The root as it reads it now, and why configuration space cannot be read
// there, if it cannot (looked at now, not said on stderr).
uint32_t ULVEXA_API DescribeUlvexa(char* text, uint32_t size) {
    Call call;
    const std::string problem = quorel::sysfs::ConfigProblem(call.backend.config);
    return quorel::process_env::CopyDescription(quorel::sysfs::Root(), problem, text, size);
}

// A real card behaves as it does: no window follows a model.
uint32_t ULVEXA_API UlvexaWindowModel(uint64_t, char* path, uint32_t size) {
    return quorel::process_env::CopyDescription("", "", path, size);
}

}  // extern "C"
