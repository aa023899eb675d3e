// Every setting Quorel takes from the environment, and the layout of a
// snapshot folder, named once. Whoever reads a setting includes this
// header: the library, the trace DLLs, the driver-access backends, the
// native Windows layer and the tools. Constants only, so that the DLLs
// that include it depend on nothing more; scripts/check-layers.sh keeps
// every other C or C++ file of the product from spelling a setting.
//
// Who resolves a setting (a variable of its own, else a snapshot's file,
// else a default) is named with it: that reader alone does, and tells
// the others what it chose (src/driver/ulvexa.h's DescribeUlvexa).
#ifndef QUOREL_SETTINGS_SETTINGS_H
#define QUOREL_SETTINGS_SETTINGS_H

namespace quorel::settings {

// The library (src/pci/peer_buses.cpp). Exactly "1" when discovery starts:
// the bus scan also probes peer root buses. Anything else, or unset: not.
constexpr char kScanPeerBuses[] = "QUOREL_SCAN_PEER_BUSES";

// The trace DLLs (src/trace/writer.cpp). Where the trace goes: a file
// (appended to) or kToStderr; unset, or a file that cannot be opened:
// quorel-trace.txt beside the program, else in the temporary folder.
constexpr char kTrace[] = "QUOREL_TRACE";

// The stand-in, backends/sim/. The machine file to simulate; unset or
// empty: a snapshot's machine file (kSimSnapshot), else the embedded
// default machine. Resolved by its MachineLoader.
constexpr char kSimMachine[] = "QUOREL_SIM_MACHINE";
// A folder `quorel snapshot` wrote, replayed as a whole: each of its files
// stands in for its own variable (kSimMachine, kSimRegistry, kSimWinver)
// where that is unset or empty. Read by the stand-in and, natively, the
// Windows layer (process_env/).
constexpr char kSimSnapshot[] = "QUOREL_SIM_SNAPSHOT";
// The stand-in's call log: a file (appended to), kToStderr, or unset or
// empty: no log.
constexpr char kSimLog[] = "QUOREL_SIM_LOG";
// A card model (docs/card-model.md) that every card of the simulated
// machine follows unless the machine file gives it one of its own (the
// `model` directive); unset or empty: none, the cards are plain memory.
// Resolved by the stand-in's MachineLoader, which names each window's
// model to tools (UlvexaWindowModel).
constexpr char kSimModel[] = "QUOREL_SIM_MODEL";
// A name under which every process that sets the same one simulates one
// machine: the register windows and the modelled cards' state in shared
// memory; unset or empty: each process has its own. Letters, digits, '.',
// '_' and '-', at most kSimSharedNameMost of them. Read by the stand-in at
// each load (backends/sim/shared_machine.h).
constexpr char kSimShared[] = "QUOREL_SIM_SHARED";
constexpr unsigned kSimSharedNameMost = 64;
// A trace file the trace DLLs wrote (docs/replay.md): the register reads
// of the cards it recorded are answered with what the real cards returned,
// and the writes compared with the recorded ones. Unset or empty: a
// snapshot's trace file (kSnapshotTraceFile) when it has one, else none.
// Resolved by the stand-in's MachineLoader (backends/sim/replay_loader.cpp).
constexpr char kSimReplay[] = "QUOREL_SIM_REPLAY";

// The native Windows layer, native_winapi/. The .reg file its registry is
// filled from; unset or empty: a snapshot's, else the default machine's
// (none in a build over sysfs).
constexpr char kSimRegistry[] = "QUOREL_SIM_REGISTRY";
// The Windows version GetVersionExW reports, "major.minor"; unset or
// empty: a snapshot's, else 6.1.
constexpr char kSimWinver[] = "QUOREL_SIM_WINVER";

// The sysfs backend, backends/sysfs/. The folder that stands for /sys;
// unset or empty: kSysfsDefaultRoot. Resolved by the backend, which names
// the root it reaches (DescribeUlvexa). Below it, the kernel's one folder
// per PCI function.
constexpr char kSysfsRoot[] = "QUOREL_SYSFS_ROOT";
constexpr char kSysfsDefaultRoot[] = "/sys";
constexpr char kSysfsFunctionsFolder[] = "/bus/pci/devices";

// The value of kTrace and kSimLog that writes to stderr.
constexpr char kToStderr[] = "stderr";

// A snapshot folder, as `quorel snapshot DIR` writes it and the replay
// reads it: the machine file, the registry entries (a .reg file), and what
// it was taken on, one "key: value" line each.
constexpr char kSnapshotMachineFile[] = "machine.txt";
constexpr char kSnapshotRegistryFile[] = "registry.reg";
constexpr char kSnapshotAboutFile[] = "about.txt";
// Not written by `quorel snapshot`: a trace of the application's run on
// that PC, put into the folder beside the rest, replayed with it.
constexpr char kSnapshotTraceFile[] = "trace.txt";
// The about file's line that starts with this holds the Windows version
// as its first word, "windows: 6.1 (build 7601, ...)".
constexpr char kSnapshotWindowsKey[] = "windows: ";

}  // namespace quorel::settings

#endif  // QUOREL_SETTINGS_SETTINGS_H
