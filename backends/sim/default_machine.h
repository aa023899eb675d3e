// The machine simulated when QUOREL_SIM_MACHINE names none: the text of
// machines/default.lspci, embedded at build time.
#ifndef QUOREL_SIM_DEFAULT_MACHINE_H
#define QUOREL_SIM_DEFAULT_MACHINE_H

namespace quorel::sim {

extern const char kDefaultMachineName[];  // how messages name it
extern const char kDefaultMachineText[];

}  // namespace quorel::sim

#endif  // QUOREL_SIM_DEFAULT_MACHINE_H
