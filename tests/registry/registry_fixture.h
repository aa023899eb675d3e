// Registry lookups over a device list the test builds record by record, and
// an in-process registry loaded from .reg text: no bus scan involved.
#ifndef QUOREL_TESTS_REGISTRY_FIXTURE_H
#define QUOREL_TESTS_REGISTRY_FIXTURE_H

#include <gtest/gtest.h>

#include <string>

#include "hand_made_list.h"

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Appends a record for the function at bus:device.function.
    quorel::DeviceRecord& Add(uint8_t bus, uint8_t device, uint8_t function, uint16_t vendor,
                              uint16_t device_id, uint16_t subsystem_vendor = 0,
                              uint16_t subsystem = 0, uint8_t revision = 1) {
        return records_.Add(bus, device, function, vendor, device_id, subsystem_vendor, subsystem, revision);
    }
    // Loads the registry from .reg sections (the header line is added).
    ::testing::AssertionResult UseRegistry(const std::string& sections);
    // Sets the Windows version class and runs one annotation.
    void Annotate(int32_t os_family);

private:
    test_support::HandMadeList records_;
    int32_t saved_family_ = 0;
};

// .reg text of one NT instance key below HKLM\...\Enum\PCI\<id>\<instance>,
// with a Control subkey unless told otherwise. Empty values are left out.
std::string NtInstance(const std::string& id, const std::string& instance,
                       const std::string& location, const std::string& description = "",
                       const std::string& class_guid = "", bool control = true);

#endif  // QUOREL_TESTS_REGISTRY_FIXTURE_H
