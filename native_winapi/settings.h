// The environment variables the native Windows layer reads, for the tools
// of the Linux build.
#ifndef QUOREL_NATIVE_WINAPI_SETTINGS_H
#define QUOREL_NATIVE_WINAPI_SETTINGS_H

namespace native_winapi {

// The Windows version GetVersionExW reports, "major.minor" (e.g. 5.1);
// unset: 6.1; anything else is reported on stderr and gives 6.1.
constexpr char kVersionVariable[] = "QUOREL_SIM_WINVER";
// Without it, the version of a snapshot (QUOREL_SIM_SNAPSHOT): the line of
// its about.txt that starts with this, "windows: 6.1 (...)".
constexpr char kAboutVersionKey[] = "windows: ";
// The .reg file the registry is filled from; unset: a snapshot's
// registry.reg, else the default machine's.
constexpr char kRegistryVariable[] = "QUOREL_SIM_REGISTRY";

}  // namespace native_winapi

#endif  // QUOREL_NATIVE_WINAPI_SETTINGS_H
