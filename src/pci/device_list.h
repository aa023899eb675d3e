// The bus tree and the device list built by the once-per-process scan, and
// the lookups over the list. Records and nodes are zero-filled when made.
// The library frees only a record the scan drops before linking it (its
// configuration copy or layout could not be read); records and nodes in the
// list and tree stay for the life of the process. Only the code outside the
// DLLs frees them: the peer-bus probe run aside (its own records and nodes,
// pci/peer_probe_aside.cpp) and internal::ResetDiscovery for tests and
// fuzzers (pci/discovery_reset.cpp).
#ifndef QUOREL_PCI_DEVICE_LIST_H
#define QUOREL_PCI_DEVICE_LIST_H

#include <cstdint>

#include "pci/devfn.h"
#include "platform/windows_api.h"

namespace quorel {

struct BusNode;

constexpr unsigned kRegistryTextSize = 260;
constexpr unsigned kGuidTextSize = 256;

struct DeviceRecord {
    BusNode* bus;                 // the bus the function sits on
    DeviceRecord* next_on_bus;    // next record of the same bus
    DeviceRecord* next;           // next record of the device list
    uint8_t* config_space;        // copy of configuration bytes 0x00..0xFF
    uint32_t devfn;               // Devfn(device, function)
    uint16_t vendor_id;
    uint16_t device_id;
    uint16_t subsystem_vendor_id;
    uint16_t subsystem_id;
    uint32_t class_code;          // base class, subclass, programming interface
    uint32_t hdr_type;            // header-type byte as read, bit 7 included
    uint32_t bus_master : 1;      // command register bit 2
    uint32_t irq;                 // interrupt line when the pin is used, else 0
    uint32_t bar[6];              // raw base address registers (see ReadBars)
    uint32_t rom_bar;             // raw expansion-ROM register, 0 if all ones
    uint8_t config_bytes[256];    // the same bytes as config_space
    int32_t registry_matched;     // registry fields: filled by the annotation
    char device_desc[kRegistryTextSize];
    char hardware_key[kRegistryTextSize];
    char config_manager_key[kRegistryTextSize];
    GUID class_guid;
    char class_guid_text[kGuidTextSize];
};

struct BusNode {
    BusNode* parent;          // null for the root
    BusNode* children;        // most recently created child first
    BusNode* next;            // next child of the same parent
    DeviceRecord* bridge;     // bridge on the parent bus leading here
    DeviceRecord* devices;    // first record of this bus, then next_on_bus
    uint8_t number;           // bus number used for the reads on this bus
    uint8_t primary;
    uint8_t secondary;
    uint8_t subordinate;
};

extern DeviceRecord* device_list;
extern DeviceRecord** device_list_tail;
extern BusNode root_bus;
extern int32_t discovery_done;
// 1 when this discovery also scanned the peer root buses (pci/peer_buses.h).
extern int32_t peer_buses_scanned;

// Classifies the Windows version on every call; scans once per process.
void StartDiscovery();
// Scans node's bus and every bus behind its bridges; returns the highest
// bus number reached.
uint32_t ScanBus(BusNode* node);
// Fills record->bar[0 .. count-1]; count is 6, 2 or 1.
void ReadBars(DeviceRecord* record, unsigned count);

// n-th record (from 1) in list order with both IDs, or null.
DeviceRecord* FindNthById(uint32_t vendor, uint32_t device, uint32_t n);
// First record with both IDs after `after` (anywhere when after is null).
DeviceRecord* FindNextById(uint32_t vendor, uint32_t device, const DeviceRecord* after);

namespace internal {
// Releases a record and its configuration copy (a dropped function's, or
// the whole list's in ResetDiscovery).
void FreeRecord(DeviceRecord* record);
// FreeRecord for every record of a list linked by `next`.
void FreeRecords(DeviceRecord* head);
// Frees every node below `node` (not node itself).
void FreeBusNodes(BusNode* node);
// Puts discovery back to its state at load, for tests that need a new scan
// in the same process. Frees the old list and tree: every pointer into them
// (the card-access globals included) must be dropped first.
void ResetDiscovery();
}  // namespace internal

}  // namespace quorel

#endif  // QUOREL_PCI_DEVICE_LIST_H
