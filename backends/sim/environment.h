// What the simulator takes from its surroundings: its settings (named in
// settings/settings.h) and the machine file one of them names; reading them
// and the messages to the user are process_env's.
#ifndef QUOREL_SIM_ENVIRONMENT_H
#define QUOREL_SIM_ENVIRONMENT_H

#include "process_env/process_env.h"
#include "settings/settings.h"

namespace quorel::sim {

using process_env::Complain;
using process_env::GetEnvironment;
using process_env::OpenFile;
using process_env::ReadTextFile;

using settings::kSimLog;
using settings::kSimMachine;
using settings::kSimModel;
using settings::kSimShared;
using settings::kSimReplay;
using settings::kSimSnapshot;

}  // namespace quorel::sim

#endif  // QUOREL_SIM_ENVIRONMENT_H
