// A device list of one PCI function, made by hand instead of by a scan, for
// the targets that fuzz the registry lookups of a single record.
#ifndef QUOREL_FUZZ_ONE_RECORD_H
#define QUOREL_FUZZ_ONE_RECORD_H

#include <cstdint>

#include "hand_made_list.h"

namespace fuzz {

struct PciAddress {
    uint8_t bus;
    uint8_t device;
    uint8_t function;
};

// The record is the whole device list while the object lives, looked up
// as Windows of `os_family` with the locale for 8-bit copies set.
class OneRecordList {
public:
    OneRecordList(uint16_t vendor, uint16_t device, const PciAddress& at, int32_t os_family,
                  bool utf8_locale);

    quorel::DeviceRecord& record() { return record_; }
    // What every lookup must leave: no registry handle open, every text
    // field terminated within its size. Empties the registry afterwards.
    void CheckLookup() const;

private:
    test_support::HandMadeList list_;
    quorel::DeviceRecord& record_;
};

}  // namespace fuzz

#endif  // QUOREL_FUZZ_ONE_RECORD_H
