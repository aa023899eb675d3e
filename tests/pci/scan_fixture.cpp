#include "scan_fixture.h"

#include <cstdio>

std::string ScanTest::LocationOf(const quorel::DeviceRecord* r) {
    char buf[16];
    std::snprintf(buf, sizeof(buf), "%02x:%02x.%u", r->bus->number, r->devfn >> 3, r->devfn & 7);
    return buf;
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
