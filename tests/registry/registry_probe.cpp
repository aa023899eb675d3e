// The version class and the registry annotation against Wine's own
// GetVersionExW and registry: discovery on the stand-in's default machine
// must classify the version as expected, and after one annotation every
// function must have found its entry (the default registry has one for
// each), with a description, a device key of its own IDs and, on the 9x
// family, its Config Manager entry. Prints what each record got.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "pci/config_access.h"
#include "pci/device_list.h"
#include "registry/annotate.h"

namespace {

bool Check(const quorel::DeviceRecord* r) {
    char ids[32];
    std::snprintf(ids, sizeof(ids), "VEN_%04X&DEV_%04X", r->vendor_id, r->device_id);
    const bool nine_x = quorel::IsNineXFamily(quorel::OsFamily);
    std::printf("%02x:%02x.%u  %d  %-40.40s  %s  %s\n", r->bus->number, r->devfn >> 3, r->devfn & 7,
                r->registry_matched, r->device_desc, r->hardware_key, r->config_manager_key);
    return r->registry_matched == 1 && r->device_desc[0] && std::strstr(r->hardware_key, ids) &&
           (!nine_x || r->config_manager_key[0]) && (nine_x || r->class_guid_text[0] == '{');
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: registry_probe EXPECTED_FAMILY\n");
        return 2;
    }
    quorel::StartDiscovery();
    quorel::AnnotateFromRegistry();
    int failures = quorel::OsFamily == std::atoi(argv[1]) ? 0 : 1;
    int functions = 0;
    for (const quorel::DeviceRecord* r = quorel::device_list; r; r = r->next, ++functions)
        failures += Check(r) ? 0 : 1;
    std::printf("OsFamily %d: %d functions, %d failures\n", quorel::OsFamily, functions, failures);
    return functions > 0 && failures == 0 ? 0 : 1;
}
