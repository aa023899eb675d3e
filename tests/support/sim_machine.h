// Helpers that point the stand-in driver-access library at a machine, the
// same way in the native build and under Wine (environment + files).
#ifndef QUOREL_TESTS_SIM_MACHINE_H
#define QUOREL_TESTS_SIM_MACHINE_H

#include <string>

#include "temp_folder.h"
#include "test_files.h"

namespace test_support {

// Writes the machine text to a new file in the test's temporary folder and names it in
// QUOREL_SIM_MACHINE: the next InitializeUlvexa (the next discovery after a
// reset) simulates it. Returns the file's path.
std::string UseMachine(const std::string& text);
// Back to the simulator's embedded default machine.
void UseDefaultMachine();

// Starts a call log in a new file of the test's temporary folder
// (QUOREL_SIM_LOG); returns its path.
std::string StartSimLog();
void StopSimLog();

}  // namespace test_support

#endif  // QUOREL_TESTS_SIM_MACHINE_H
