// Builds small machine files for the simulator's tests.
#ifndef QUOREL_TESTS_SIM_MACHINE_TEXT_H
#define QUOREL_TESTS_SIM_MACHINE_TEXT_H

#include <cstdint>
#include <string>

namespace sim_test {

// One function in lspci -x form: its header line, then rows 00: and 10:
// holding the IDs, BAR0 and BAR1 (the rest of the function reads as 0).
std::string FunctionText(const std::string& address, uint16_t vendor, uint16_t device,
                         uint32_t bar0, uint32_t bar1 = 0);

}  // namespace sim_test

#endif  // QUOREL_TESTS_SIM_MACHINE_TEXT_H
