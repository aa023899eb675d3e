// The registry keys and values the annotation reads, named once: the
// lookups read them, and the inspection view hands the same list to a tool
// that copies exactly what they read (quorel snapshot).
#ifndef QUOREL_REGISTRY_LOOKUP_KEYS_H
#define QUOREL_REGISTRY_LOOKUP_KEYS_H

#include "platform/windows_api.h"

namespace quorel::registry::keys {

// Values of a device instance (NT family) and of a static key (9x family).
constexpr WCHAR kLocationInformation[] = L"LocationInformation";
constexpr WCHAR kDeviceDesc[] = L"DeviceDesc";
constexpr WCHAR kClassGuid[] = L"ClassGUID";

// NT family, below HKEY_LOCAL_MACHINE: the hardware-ID keys, one subkey per
// instance read with these values, which counts only with this subkey.
constexpr const WCHAR* kInstanceValues[] = {kLocationInformation, kDeviceDesc, kClassGuid};
constexpr WCHAR kInstanceSubkeyPath[] = L"\\Control";  // appended to the instance's path
constexpr const WCHAR* kInstanceSubkey = kInstanceSubkeyPath + 1;

// 9x family: the Configuration Manager's entries below HKEY_DYN_DATA, each
// with the value naming its static key below HKEY_LOCAL_MACHINE, which is
// read with these values.
constexpr WCHAR kConfigManagerEntries[] = L"Config Manager\\Enum";
constexpr WCHAR kHardwareKey[] = L"HardWareKey";
constexpr WCHAR kStaticKeyPrefix[] = L"Enum\\";
constexpr const WCHAR* kStaticValues[] = {kDeviceDesc, kClassGuid};

}  // namespace quorel::registry::keys

#endif  // QUOREL_REGISTRY_LOOKUP_KEYS_H
