// The device list's globals and the lookups over it.
#include <cstdlib>

#include "pci/config_access.h"
#include "pci/device_list.h"

namespace quorel {

DeviceRecord* device_list = nullptr;
DeviceRecord** device_list_tail = &device_list;
BusNode root_bus{};
int32_t discovery_done = 0;
int32_t peer_buses_scanned = 0;

namespace {

bool HasIds(const DeviceRecord* r, uint32_t vendor, uint32_t device) {
    return r->vendor_id == vendor && r->device_id == device;
}

}  // namespace

DeviceRecord* FindNthById(uint32_t vendor, uint32_t device, uint32_t n) {
    uint32_t count = 0;
    for (DeviceRecord* r = device_list; r; r = r->next)
        if (HasIds(r, vendor, device) && ++count == n)
            return r;
    return nullptr;
}

DeviceRecord* FindNextById(uint32_t vendor, uint32_t device, const DeviceRecord* after) {
    for (DeviceRecord* r = after ? after->next : device_list; r; r = r->next)
        if (HasIds(r, vendor, device))
            return r;
    return nullptr;
}

namespace internal {

void FreeRecord(DeviceRecord* record) {
    std::free(record->config_space);
    std::free(record);
}

void FreeRecords(DeviceRecord* head) {
    while (head) {
        DeviceRecord* next = head->next;
        FreeRecord(head);
        head = next;
    }
}

void FreeBusNodes(BusNode* node) {
    for (BusNode* child = node->children; child;) {
        BusNode* next = child->next;
        FreeBusNodes(child);
        std::free(child);
        child = next;
    }
}

}  // namespace internal

}  // namespace quorel
