// The register page of a card that follows a card model: kept inaccessible
// (trap/), each access of it performed on the card's state as the model
// says: register n at offset n * 4, the control/status register at 1020,
// the page's other bytes plain memory. Each access goes to the call log
// with what it did.
#ifndef QUOREL_SIM_MODEL_WINDOW_H
#define QUOREL_SIM_MODEL_WINDOW_H

#include <cstdint>
#include <string>

#include "machine.h"

namespace quorel::sim {

// The window of a function that follows a model: whole pages, the first
// one watched, holding the function's initial window bytes. Null with why
// when the pages cannot be had or watched: then the caller maps plain
// memory. The pages and the card's state live as long as the process.
// log_target: the call log's (CallLog::SetTarget), or empty.
uint8_t* MapModelledWindow(const Function& function, const std::string& location,
                           const std::string& log_target, std::string* why);

}  // namespace quorel::sim

#endif  // QUOREL_SIM_MODEL_WINDOW_H
