// What the simulator takes from its surroundings (two environment variables
// and the machine file one of them names) and its messages to the user.
#ifndef QUOREL_SIM_ENVIRONMENT_H
#define QUOREL_SIM_ENVIRONMENT_H

#include <string>

namespace quorel::sim {

// The machine file to simulate; unset or empty: the embedded default.
constexpr char kMachineVariable[] = "QUOREL_SIM_MACHINE";
// Where to log every call: a file (appended to), "stderr", or unset: nowhere.
constexpr char kLogVariable[] = "QUOREL_SIM_LOG";

// The variable's value, empty when it is unset.
std::string GetEnvironment(const char* name);
// The whole file; false when it cannot be read or is implausibly large.
bool ReadTextFile(const std::string& path, std::string* text);
// Tells the user on stderr, as "quorel-sim: <message>".
void Complain(const std::string& message);

}  // namespace quorel::sim

#endif  // QUOREL_SIM_ENVIRONMENT_H
