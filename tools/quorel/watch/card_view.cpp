#include "card_view.h"

#include <cstdio>

#include "cli.h"
#include "model_text.h"

namespace watch {

namespace {

namespace card_model = quorel::card_model;

constexpr int64_t kMsPerSecond = 1000;
constexpr int64_t kSecondsPerMinute = 60;
constexpr int64_t kMinutesPerHour = 60;

void Take(Cell& cell, std::optional<uint8_t> value, TimeOfDay time) {
    cell.before = cell.value;
    if (!value)
        return;  // kept as it was, a value read once included
    cell.value = value;
    cell.read_once = false;
    if (cell.Changed())
        cell.changed_at = time;
}

}  // namespace

std::string TimeText(TimeOfDay time) {
    const int64_t seconds = time / kMsPerSecond, minutes = seconds / kSecondsPerMinute;
    char text[32];
    std::snprintf(text, sizeof(text), "%02lld:%02lld:%02lld.%03lld",
                  static_cast<long long>(minutes / kMinutesPerHour),
                  static_cast<long long>(minutes % kMinutesPerHour),
                  static_cast<long long>(seconds % kSecondsPerMinute),
                  static_cast<long long>(time % kMsPerSecond));
    return text;
}

void CardView::Update(const Sample& sample) {
    for (size_t i = 0; i < registers.size() && i < sample.registers.size(); ++i)
        Take(registers[i], sample.registers[i], sample.time);
    Take(status, sample.status, sample.time);
    refreshed = sample.time;
}

void CardView::ReadOnce(int index, uint8_t value, TimeOfDay time) {
    Cell& cell = registers.at(static_cast<size_t>(index));
    cell.before = cell.value;
    cell.value = value;
    cell.changed_at = time;
    cell.read_once = true;
}

bool ReadUnasked(const card_model::Register& reg, bool all) {
    return reg.access != card_model::Access::kWriteOnly && (all || !reg.ReadHasSideEffect());
}

std::string UnreadReason(const card_model::Register& reg) {
    if (reg.access == card_model::Access::kWriteOnly)
        return "write-only, reads " + cli::PrefixedHex(reg.fill, 2);
    return commands::ReadEffectText(reg);
}

}  // namespace watch
