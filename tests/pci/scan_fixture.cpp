#include "scan_fixture.h"

std::string ScanTest::LocationOf(const quorel::DeviceRecord* r) {
    return test_support::LocationText(r->bus->number, r->devfn >> 3, r->devfn & 7);
}

std::vector<std::string> ScanTest::Locations() {
    std::vector<std::string> out;
    for (const quorel::DeviceRecord* r = quorel::device_list; r; r = r->next)
        out.push_back(LocationOf(r));
    return out;
}

const quorel::DeviceRecord* ScanTest::At(const std::string& location) {
    for (const quorel::DeviceRecord* r = quorel::device_list; r; r = r->next)
        if (LocationOf(r) == location)
            return r;
    return nullptr;
}

std::vector<unsigned> ScanTest::ReadsOf(const std::string& location) const {
    std::vector<unsigned> offsets;
    for (const test_support::CfgRead& r : test_support::ConfigReads(Calls()))
        if (r.location == location)
            offsets.push_back(r.offset);
    return offsets;
}
