// `quorel snapshot DIR`: this PC as the library sees it, for the stand-in
// to replay elsewhere (QUOREL_SIM_SNAPSHOT=DIR).
#ifndef QUOREL_TOOLS_SNAPSHOT_COMMAND_H
#define QUOREL_TOOLS_SNAPSHOT_COMMAND_H

#include "cli.h"

namespace commands {

namespace usage {
constexpr char kSnapshot[] = "DIR [--registers] [--force]";
}

int Snapshot(const cli::Args& args);

}  // namespace commands

#endif  // QUOREL_TOOLS_SNAPSHOT_COMMAND_H
