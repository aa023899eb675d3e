// What a modelled card holds at run time, as one plain block: the
// registers, the status byte, the sources' positions, the events' times and
// the interrupt's state. CardState changes it at each access; the model
// itself is not in it. It may live in the process or in memory that
// several processes share, 32- and 64-bit ones alike: so fixed-width fields
// only, no pointers, every byte placed explicitly, the same layout for both.
#ifndef QUOREL_CARD_MODEL_CARD_STATE_DATA_H
#define QUOREL_CARD_MODEL_CARD_STATE_DATA_H

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "card_model.h"

namespace quorel::card_model {

// An event that is not armed (and a time past the end of time).
constexpr uint64_t kNotDue = UINT64_MAX;

struct SourcePosition {
    uint32_t next;         // a sequence's position
    uint8_t counter;       // a counter's next value
    uint8_t written;       // a value written into it, for the next read
    uint8_t has_written;   // 1 while `written` waits for that read
    uint8_t padding;
};

struct alignas(8) CardStateData {
    uint64_t now_us;                         // the latest access's time
    uint64_t due_us[kMaxEvents];             // each event's, in the file's order; kNotDue: not armed
    SourcePosition sources[kRegisterCount];  // by register
    uint8_t initial[kRegisterCount];         // what the registers held before the model
    uint8_t status;
    uint8_t values[kRegisterCount];
    uint8_t interrupt;                       // 1 while asserted
};

static_assert(sizeof(SourcePosition) == 8);
static_assert(std::is_trivially_copyable_v<CardStateData> && std::is_standard_layout_v<CardStateData>);
static_assert(offsetof(CardStateData, due_us) == 8 && offsetof(CardStateData, sources) == 520 &&
              offsetof(CardStateData, initial) == 2560 && offsetof(CardStateData, status) == 2815 &&
              offsetof(CardStateData, values) == 2816 && offsetof(CardStateData, interrupt) == 3071);
static_assert(sizeof(CardStateData) == 3072 && alignof(CardStateData) == 8);

}  // namespace quorel::card_model

#endif  // QUOREL_CARD_MODEL_CARD_STATE_DATA_H
