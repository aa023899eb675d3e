// The register page of a card that follows a card model: kept inaccessible
// (trap/), each access of it performed on the card's state as the model
// says: register n at offset n * 4, the control/status register at 1020,
// the page's other bytes plain memory. Each access goes to the call log
// with what it did.
#ifndef QUOREL_SIM_MODEL_WINDOW_H
#define QUOREL_SIM_MODEL_WINDOW_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "machine.h"

namespace quorel::sim {

namespace trap {
class Watcher;
}

// The window of a function that follows a model: whole pages, the first
// one watched, holding the function's initial window bytes. Null with why
// when the pages cannot be had or watched: then the caller maps plain
// memory. The pages and the card's state live as long as the process.
// log_target: the call log's (CallLog::SetTarget), or empty.
uint8_t* MapModelledWindow(const Function& function, const std::string& location,
                           const std::string& log_target, std::string* why);

// The watcher MapModelledWindow puts on the page, for a window that puts
// another in front of it (replay_window.h): `page` holds the first page's
// initial bytes.
std::unique_ptr<trap::Watcher> NewModelWatcher(const Function& function, std::vector<uint8_t> page,
                                               const std::string& location,
                                               const std::string& log_target);

}  // namespace quorel::sim

#endif  // QUOREL_SIM_MODEL_WINDOW_H
