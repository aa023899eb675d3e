// For programs that simulate thousands of machines in one process (fault
// sweeps, fuzzers): the simulator keeps every machine it loaded, since a
// caller may still hold one of its register windows.
#ifndef QUOREL_SIM_SIMULATOR_RESET_H
#define QUOREL_SIM_SIMULATOR_RESET_H

namespace quorel::sim::internal {

// Drops every machine loaded so far, their register windows with them, and
// closes the driver: as in a new process, the next call loads the machine
// afresh. Only for a caller that holds no window any more.
void ForgetMachines();

}  // namespace quorel::sim::internal

#endif  // QUOREL_SIM_SIMULATOR_RESET_H
