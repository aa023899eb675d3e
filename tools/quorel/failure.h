// How the quorel tool reports a command that ran and failed (exit code 1):
// the reason on standard error and, when the command was given --json, one
// JSON document on standard output, the same for every command:
// {"ok": false, "reason": "..."}.
#ifndef QUOREL_TOOLS_FAILURE_H
#define QUOREL_TOOLS_FAILURE_H

#include <string>

#include "json_text.h"

namespace cli {

// Whether the command's output was asked for as JSON; main sets it once.
void SetJsonOutput(bool json);
// Prints "quorel: " + reason + more to standard error (`more` continues the
// text for people: a full stop, hint lines) and, with --json, the failure
// document with `reason` alone. Returns kExitFailure.
int Fail(const std::string& reason, const std::string& more = "");
// The same, the failure document continued with `members` (an object).
int Fail(const std::string& reason, const std::string& more, const Json& members);

}  // namespace cli

#endif  // QUOREL_TOOLS_FAILURE_H
