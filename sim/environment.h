// What the simulator takes from its surroundings (two environment variables
// and the machine file one of them names); reading them and the messages to
// the user are process_env's.
#ifndef QUOREL_SIM_ENVIRONMENT_H
#define QUOREL_SIM_ENVIRONMENT_H

#include "process_env/process_env.h"

namespace quorel::sim {

using process_env::Complain;
using process_env::GetEnvironment;
using process_env::OpenFile;
using process_env::ReadTextFile;

// The machine file to simulate; unset or empty: a snapshot's machine.txt
// (QUOREL_SIM_SNAPSHOT), else the embedded default.
constexpr char kMachineVariable[] = "QUOREL_SIM_MACHINE";
// Where to log every call: a file (appended to), "stderr", or unset: nowhere.
constexpr char kLogVariable[] = "QUOREL_SIM_LOG";

}  // namespace quorel::sim

#endif  // QUOREL_SIM_ENVIRONMENT_H
