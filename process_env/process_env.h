// What the stand-in and the native Windows layer take from the process:
// environment variables, whole files, and messages to the user on stderr.
#ifndef QUOREL_PROCESS_ENV_H
#define QUOREL_PROCESS_ENV_H

#include <string>

namespace quorel::process_env {

// The variable's value, empty when it is unset.
std::string GetEnvironment(const char* name);
// The whole file; false when it cannot be read or is implausibly large.
bool ReadTextFile(const std::string& path, std::string* text);
// Tells the user on stderr, as "quorel-sim: <message>".
void Complain(const std::string& message);

// A folder written by `quorel snapshot` (machine.txt, registry.reg,
// about.txt) to replay as a whole.
constexpr char kSnapshotVariable[] = "QUOREL_SIM_SNAPSHOT";
constexpr char kSnapshotMachine[] = "machine.txt";
constexpr char kSnapshotRegistry[] = "registry.reg";
constexpr char kSnapshotAbout[] = "about.txt";
// The file `name` in the folder QUOREL_SIM_SNAPSHOT names; empty when unset.
std::string SnapshotFile(const char* name);
// What `variable` names; when it is unset or empty and QUOREL_SIM_SNAPSHOT
// names a folder, that folder's file `snapshot_file`; else empty. The
// variable of its own wins, so one part of a snapshot can be swapped.
std::string SettingPath(const char* variable, const char* snapshot_file);

}  // namespace quorel::process_env

#endif  // QUOREL_PROCESS_ENV_H
