// What the stand-in simulates, as it loaded it, for a program that has it
// linked in and tells its user (quorel doctor natively). The Windows DLLs
// say the same through their one export beside the six functions,
// DescribeUlvexa.
#ifndef QUOREL_SIM_SIMULATED_MACHINE_H
#define QUOREL_SIM_SIMULATED_MACHINE_H

#include <string>

namespace quorel::sim {

struct MachineReport {
    // "the default machine", "the machine file X", "the snapshot X".
    std::string source;
    // Why it was refused (InitializeUlvexa then fails); empty when it loaded.
    std::string problem;
};

// The machine of the last load, loading it first when no call has yet.
MachineReport SimulatedMachine();

}  // namespace quorel::sim

#endif  // QUOREL_SIM_SIMULATED_MACHINE_H
