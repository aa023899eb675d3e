// The six functions of the driver-access library, answered from a simulated
// machine instead of a kernel driver; DescribeUlvexa, which names that
// machine, and UlvexaWindowModel, which names a card's model. The same source is the native static library and, on Windows,
// Ulvexa32.dll / Ulvexa64.dll.
#include <memory>
#include <mutex>
#include <vector>

#include "call_log.h"
#include "ulvexa.h"
#include "environment.h"
#include "machine.h"
#include "machine_loader.h"
#include "shared_machine.h"
#include "simulator_reset.h"

namespace quorel::sim {

namespace {

// What the last load simulates, as DescribeUlvexa says it.
struct MachineReport {
    // "the default machine", "the machine file X", "the snapshot X".
    std::string source;
    // Why it was refused (InitializeUlvexa then fails); empty when it loaded.
    std::string problem;
};

struct Simulator {
    std::mutex lock;
    // Every machine loaded in this process; the last one is simulated. The
    // earlier ones are kept because callers may still use their windows.
    std::vector<std::unique_ptr<Machine>> machines;
    MachineReport report;  // of the last one
    MachineLoader loader;
    std::vector<std::string> last_notes;  // what the last load said on stderr
    bool driver_open = false;
    CallLog log;
};

// Never destroyed: a window handed out must stay valid for as long as the
// process runs, also while other modules are being unloaded at exit.
Simulator& Sim() {
    static Simulator* simulator = new Simulator;
    return *simulator;
}

// Reads the environment afresh. A machine that cannot be used leaves an
// empty one on which InitializeUlvexa fails. A program initialises the
// driver again and again (every open does): what a load has to say is said
// once, until the next load says something else.
void Load(Simulator& sim) {
    sim.log.SetTarget(GetEnvironment(kSimLog));
    LoadedMachine loaded = sim.loader.Load();
    const std::string shared = GetEnvironment(kSimShared);
    if (loaded.machine && !shared.empty())
        loaded.machine->shared = ShareMachine(shared, *loaded.machine, &loaded.notes);
    if (loaded.notes != sim.last_notes)
        for (const std::string& note : loaded.notes)
            Complain(note);
    sim.last_notes = loaded.notes;
    sim.report = MachineReport{loaded.source, loaded.problem};
    if (!loaded.machine) {
        loaded.machine = std::make_unique<Machine>();
        loaded.machine->fail_init = true;
    }
    loaded.machine->log_target = GetEnvironment(kSimLog);
    sim.machines.push_back(std::move(loaded.machine));
}

Machine& Current(Simulator& sim) {
    if (sim.machines.empty())
        Load(sim);
    return *sim.machines.back();
}

// What every call but InitializeUlvexa starts with: the lock, and a machine
// (loaded now when InitializeUlvexa has not run yet).
struct Call {
    Simulator& sim = Sim();
    std::lock_guard<std::mutex> hold{sim.lock};
    Machine& machine = Current(sim);
};

}  // namespace

void internal::ForgetMachines() {
    Simulator& sim = Sim();
    std::lock_guard<std::mutex> hold(sim.lock);
    sim.machines.clear();
    sim.loader = MachineLoader();
    sim.last_notes.clear();
    sim.driver_open = false;
}

}  // namespace quorel::sim

using quorel::sim::Address;
using quorel::sim::Call;

extern "C" {

uint8_t ULVEXA_API InitializeUlvexa(void) {
    quorel::sim::Simulator& sim = quorel::sim::Sim();
    std::lock_guard<std::mutex> hold(sim.lock);
    quorel::sim::Load(sim);
    sim.driver_open = !sim.machines.back()->fail_init;
    uint8_t result = sim.driver_open ? ULVEXA_INITIALIZED : 0;
    sim.log.Initialize(result);
    return result;
}

void ULVEXA_API RemoveUlvexaDriver(void) {
    Call call;
    call.sim.driver_open = false;
    call.sim.log.Remove();
}

void ULVEXA_API ShutdownUlvexa(void) {
    Call call;
    call.sim.driver_open = false;
    call.sim.log.Shutdown();
}

// Works with the driver closed too: the caller maps after releasing it.
uint8_t* ULVEXA_API MapPhysToLin(PhysMapRecord* record) {
    Call call;
    uint8_t* window = record ? call.machine.Map(record->length, record->phys_addr) : nullptr;
    call.sim.log.Map(record, window);
    return window;
}

uint8_t ULVEXA_API PciCfgRead(uint8_t bus, uint8_t device, uint8_t function, uint16_t offset,
                              uint32_t* value) {
    Call call;
    Address at{bus, device, function};
    uint8_t result = call.sim.driver_open && value && call.machine.Read(at, offset, value) ? 1 : 0;
    call.sim.log.Read(at, offset, result, value);
    return result;
}

uint8_t ULVEXA_API PciCfgWrite(uint8_t bus, uint8_t device, uint8_t function, uint16_t offset,
                               uint32_t value) {
    Call call;
    Address at{bus, device, function};
    uint8_t result = call.sim.driver_open && call.machine.Write(at, offset, value) ? 1 : 0;
    call.sim.log.Write(at, offset, value, result);
    return result;
}

// The model the window at phys_addr follows in the last load.
uint32_t ULVEXA_API UlvexaWindowModel(uint64_t phys_addr, char* path, uint32_t size) {
    Call call;
    const quorel::sim::Function* function = call.machine.Decoding(phys_addr);
    const std::string followed = function && function->model ? function->model_path : "";
    return quorel::process_env::CopyDescription(followed, "", path, size);
}

// The machine of the last load, loading it first when no call has yet.
uint32_t ULVEXA_API DescribeUlvexa(char* text, uint32_t size) {
    Call call;
    const quorel::sim::MachineReport& machine = call.sim.report;
    return quorel::process_env::CopyDescription(machine.source, machine.problem, text, size);
}

}  // extern "C"
