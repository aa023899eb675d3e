// A fresh discovery per test, on a machine the test describes.
#ifndef QUOREL_TESTS_SCAN_FIXTURE_H
#define QUOREL_TESTS_SCAN_FIXTURE_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "log_reader.h"
#include "machine_text.h"
#include "pci/config_access.h"
#include "pci/device_list.h"
#include "sim_machine.h"

class ScanTest : public ::testing::Test {
public:
    static std::string LocationOf(const quorel::DeviceRecord* record);  // "bb:dd.f"

protected:
    void SetUp() override { quorel::internal::ResetDiscovery(); }
    void TearDown() override {
        quorel::internal::ResetDiscovery();
        test_support::UseDefaultMachine();
        test_support::StopSimLog();
    }

    // Discovery on the machine, with the driver calls logged.
    void Scan(const std::string& machine) {
        test_support::UseMachine(machine);
        log_path_ = test_support::StartSimLog();
        quorel::StartDiscovery();
        test_support::StopSimLog();
    }
    // The call log of the last scan.
    std::string Calls() const { return test_support::ReadFile(log_path_); }
    static std::vector<std::string> Locations();  // the device list, in order
    static const quorel::DeviceRecord* At(const std::string& location);
    // Config reads the scan made of one function.
    std::vector<unsigned> ReadsOf(const std::string& location) const;

    std::string log_path_;
};

#endif  // QUOREL_TESTS_SCAN_FIXTURE_H
