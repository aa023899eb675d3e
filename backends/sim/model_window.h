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

#include "card_model/card_state_data.h"
#include "cross_process_lock.h"
#include "machine.h"

namespace quorel::sim {

namespace trap {
class Watcher;
}

// The watched page: the first of the window.
constexpr uint32_t kCardPage = 4096;

// What a modelled card holds: its state, and its page's bytes where no
// register is. In the process, or in memory processes share
// (shared_layout.h): fixed-width, the same for 32- and 64-bit processes.
struct alignas(8) CardRecord {
    card_model::CardStateData state;
    uint8_t page[kCardPage];
};
static_assert(sizeof(CardRecord) == sizeof(card_model::CardStateData) + kCardPage);

// At the window's first mapping: the record's page from the window's first
// page as the machine file filled it, the registers from what it holds
// there, the card started now.
void StartCard(const card_model::CardModel& model, const uint8_t* window, CardRecord* record);

// Watches the window's first page, each access performed on the card in
// record (under lock, when one is given). False with why.
bool WatchCard(uint8_t* window, std::shared_ptr<const card_model::CardModel> model, CardRecord* record,
               shared::CrossProcessLock* lock, const std::string& location, const std::string& log_target,
               std::string* why);

// Zeroed whole pages for a watched window, with the function's initial
// bytes; null with why. Never freed.
uint8_t* AllocateWindowPages(const Function& function, std::string* why);

// The window of a function that follows a model, in this process: whole
// pages, the first one watched, holding the function's initial window
// bytes. Null with why when the pages cannot be had or watched: then the
// caller maps plain memory. The pages and the card's state live as long as
// the process. log_target: the call log's (CallLog::SetTarget), or empty.
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
