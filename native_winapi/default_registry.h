// The registry of the native build until a test loads its own: the file
// named by QUOREL_SIM_REGISTRY, else the default machine's registry
// (backends/sim/machines/default-*.reg, embedded at build time) in the style of the
// Windows version that GetVersionExW reports: 6 and later, 5.x, or 9x.
// A build over a real bus (QUOREL_DRIVER=sysfs) has no default: without
// QUOREL_SIM_REGISTRY its registry is empty.
#ifndef QUOREL_NATIVE_WINAPI_DEFAULT_REGISTRY_H
#define QUOREL_NATIVE_WINAPI_DEFAULT_REGISTRY_H

#include "native_winapi/key_tree.h"

namespace native_winapi::registry {

// The embedded files: how messages name each, and its text.
extern const char kDefaultNt6RegistryName[];
extern const char kDefaultNt6RegistryText[];
extern const char kDefaultNt5RegistryName[];
extern const char kDefaultNt5RegistryText[];
extern const char kDefault9xRegistryName[];
extern const char kDefault9xRegistryText[];

// The default registry now. A QUOREL_SIM_REGISTRY file that cannot be read
// or is malformed is reported on stderr ("quorel-sim: ...") and gives an
// empty registry.
Hives DefaultHives();

}  // namespace native_winapi::registry

#endif  // QUOREL_NATIVE_WINAPI_DEFAULT_REGISTRY_H
