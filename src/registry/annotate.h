// The registry annotation: on every open, each PCI function of the device
// list is looked up in the registry the Plug and Play manager keeps, and
// its description, device key and setup-class GUID are copied into its
// record. Nothing in the card access reads these fields; they are for
// whoever inspects the device list. The registry is only read, never
// written, and failures are silent: they only leave fields unannotated.
#ifndef QUOREL_REGISTRY_ANNOTATE_H
#define QUOREL_REGISTRY_ANNOTATE_H

#include "pci/device_list.h"
#include "platform/windows_api.h"
#include "registry/registry_text.h"

namespace quorel {

// Annotates the whole device list: per record on the NT family (OsFamily 3
// and 4), by one walk of the dynamic device tree on the 9x family (0, 1).
void AnnotateFromRegistry();

// NT family: the instance under the record's hardware-ID key whose
// "LocationInformation" names the record's bus, device and function.
void FindDeviceInstance(DeviceRecord& record);
// NT family: the record's hardware-ID key paths below HKEY_LOCAL_MACHINE in
// the order the lookup tries them: with its subsystem IDs (a fixed one for
// a function Windows 6 registers so), then with none.
void HardwareIdKeyPaths(const DeviceRecord& record, registry::Text& with_subsystem,
                        registry::Text& without_subsystem);

// 9x family: pairs each PCI entry below HKEY_DYN_DATA "Config Manager\Enum"
// with the first record of its vendor and device ID not yet matched.
void MatchConfigManagerEntries();
// 9x family: the vendor and device ID of a "HardWareKey" that names a PCI
// function; false for any other entry, or one too short to hold both IDs.
bool PciIds(const WCHAR* key, uint16_t* vendor, uint16_t* device);
// 9x family: reads the record's static key "Enum\<hardware_key>" below
// HKEY_LOCAL_MACHINE; does nothing given no record.
void ReadEnumKeyValues(DeviceRecord* record);

// Parses a "ClassGUID" text in registry form, {xxxxxxxx-xxxx-...}, into
// record.class_guid by fixed character positions. Validates nothing.
void ParseClassGuid(DeviceRecord& record, const WCHAR* text);

}  // namespace quorel

#endif  // QUOREL_REGISTRY_ANNOTATE_H
