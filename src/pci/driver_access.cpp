// Opening and releasing the driver-access library around the bus scan.
#include "driver/ulvexa.h"
#include "pci/config_access.h"
#include "trace/trace.h"

namespace quorel {

int32_t driver_open = 0;
int32_t driver_init_result = kNoInitResult;

bool OpenDriver() {
    ClassifyOs();
    if (driver_open != 0)
        return true;
    const uint8_t result = InitializeUlvexa();
    driver_init_result = result;
    trace::DriverInitialized(result);
    if (result != ULVEXA_INITIALIZED)
        return false;
    driver_open = 1;
    return true;
}

void RemoveDriver() {
    if (driver_open == 0)
        return;
    RemoveUlvexaDriver();
    driver_open = 0;
}

}  // namespace quorel
