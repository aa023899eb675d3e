#include "registry/annotate.h"

#include "pci/os_family.h"

namespace quorel {

void AnnotateFromRegistry() {
    if (IsNineXFamily(OsFamily)) {
        MatchConfigManagerEntries();
        return;
    }
    for (DeviceRecord* record = device_list; record; record = record->next)
        FindDeviceInstance(*record);
}

}  // namespace quorel
