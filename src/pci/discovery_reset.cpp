// Discovery back to its state at load, for tests and fuzzers: linked into
// the core they use, not into the DLLs or libquorel.so.
#include "pci/config_access.h"
#include "pci/device_list.h"

namespace quorel::internal {

void ResetDiscovery() {
    FreeRecords(device_list);
    FreeBusNodes(&root_bus);
    device_list = nullptr;
    device_list_tail = &device_list;
    root_bus = BusNode{};
    discovery_done = 0;
    peer_buses_scanned = 0;
    driver_open = 0;
    driver_init_result = kNoInitResult;
    OsFamily = os_family::kUnclassified;
}

}  // namespace quorel::internal
