// `quorel doctor`: what a user runs first when a card is not found, and
// pastes into a support request.
#ifndef QUOREL_TOOLS_DOCTOR_H
#define QUOREL_TOOLS_DOCTOR_H

#include "cli.h"

namespace commands {

// Exit 0 when at least one card opens, 1 otherwise; the reason is the
// text's last line (and "reason" in --json).
int Doctor(const cli::Args& args);

}  // namespace commands

#endif  // QUOREL_TOOLS_DOCTOR_H
