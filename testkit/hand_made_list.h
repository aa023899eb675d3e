// Device records made by hand instead of by a scan, linked as the library's
// device list while the object lives, for the registry lookups over records
// a test or a fuzzer chooses. The device list must be empty when the first
// record is added; it is empty again when the object goes.
#ifndef QUOREL_TESTKIT_HAND_MADE_LIST_H
#define QUOREL_TESTKIT_HAND_MADE_LIST_H

#include <cstdint>
#include <deque>

#include "pci/device_list.h"

namespace test_support {

class HandMadeList {
public:
    // Appends the function at bus:device.function, its IDs, subsystem and
    // revision also in its configuration bytes (the rest of them 0).
    quorel::DeviceRecord& Add(uint8_t bus, uint8_t device, uint8_t function, uint16_t vendor,
                              uint16_t device_id, uint16_t subsystem_vendor = 0,
                              uint16_t subsystem = 0, uint8_t revision = 0);

    HandMadeList() = default;
    ~HandMadeList();  // unlinks the records
    HandMadeList(const HandMadeList&) = delete;
    HandMadeList& operator=(const HandMadeList&) = delete;

private:
    std::deque<quorel::DeviceRecord> records_;
    std::deque<quorel::BusNode> buses_;  // one for each record
};

}  // namespace test_support

#endif  // QUOREL_TESTKIT_HAND_MADE_LIST_H
