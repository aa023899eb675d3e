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

}  // namespace quorel::process_env

#endif  // QUOREL_PROCESS_ENV_H
