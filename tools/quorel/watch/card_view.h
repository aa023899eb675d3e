// What `quorel watch` knows of a card across its refreshes: each register's
// value, the value it had at the refresh before (to highlight a change)
// and when it last changed. Pure: the reads are made elsewhere.
#ifndef QUOREL_TOOLS_WATCH_CARD_VIEW_H
#define QUOREL_TOOLS_WATCH_CARD_VIEW_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "card_model/card_model.h"

namespace watch {

// Milliseconds since local midnight: when something was seen.
using TimeOfDay = int64_t;
// "16:20:01.250"
std::string TimeText(TimeOfDay time);

struct Cell {
    std::optional<uint8_t> value;         // none: not read
    std::optional<uint8_t> before;        // its value at the refresh before
    std::optional<TimeOfDay> changed_at;  // its last change seen, or its one read
    bool read_once = false;               // a register not read unasked, read on request

    bool Changed() const { return value && before && *value != *before; }
};

// One refresh: a value for each register read, none for one left unread.
struct Sample {
    std::vector<std::optional<uint8_t>> registers;  // by index, 0..254
    uint8_t status = 0;
    TimeOfDay time = 0;
};

struct CardView {
    std::vector<Cell> registers = std::vector<Cell>(quorel::card_model::kRegisterCount);
    Cell status;
    std::optional<TimeOfDay> refreshed;  // the last refresh

    void Update(const Sample& sample);
    // A read asked for outside the refreshes.
    void ReadOnce(int index, uint8_t value, TimeOfDay time);
};

// Whether a refresh reads the register: not when its read changes the card
// (unless all), nor when it is write-only (it reads its fill value).
bool ReadUnasked(const quorel::card_model::Register& reg, bool all);
// Why a refresh leaves it unread: "read clears", "write-only, reads 0x00".
std::string UnreadReason(const quorel::card_model::Register& reg);

}  // namespace watch

#endif  // QUOREL_TOOLS_WATCH_CARD_VIEW_H
