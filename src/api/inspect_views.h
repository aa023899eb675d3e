// How the inspection view copies the library's records into its views
// (api/inspect.h). For inspect*.cpp only.
#ifndef QUOREL_API_INSPECT_VIEWS_H
#define QUOREL_API_INSPECT_VIEWS_H

#include "api/inspect.h"
#include "pci/device_list.h"
#include "pci/peer_buses.h"

namespace quorel::inspect {

Function ViewOf(const DeviceRecord& record);
Bus ViewOf(const BusNode& node);
PeerFunction ViewOf(const quorel::PeerFunction& function);
// The record found at `at`; null when none sits there.
const DeviceRecord* RecordAt(const Location& at);

}  // namespace quorel::inspect

#endif  // QUOREL_API_INSPECT_VIEWS_H
