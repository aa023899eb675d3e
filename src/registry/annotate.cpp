#include "registry/annotate.h"

#include "pci/config_access.h"

namespace quorel {

// OsFamily 0 and 1 are the 9x family, 3 and 4 the NT family (2 never occurs).
void AnnotateFromRegistry() {
    if (OsFamily < 3) {
        MatchConfigManagerEntries();
        return;
    }
    for (DeviceRecord* record = device_list; record; record = record->next)
        FindDeviceInstance(*record);
}

}  // namespace quorel
