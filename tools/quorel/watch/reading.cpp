#include "watch/reading.h"

#include <chrono>
#include <ctime>

#include "card_target.h"
#include "quorel.h"

namespace watch {

namespace {

namespace card_model = quorel::card_model;

constexpr TimeOfDay kMsPerSecond = 1000;
constexpr TimeOfDay kSecondsPerMinute = 60;
constexpr TimeOfDay kMinutesPerHour = 60;

bool Reads(const card_model::CardModel* model, unsigned index, bool all) {
    if (!model)
        return true;
    const card_model::Register* reg = model->FindRegister(static_cast<uint8_t>(index));
    return reg && ReadUnasked(*reg, all);
}

}  // namespace

TimeOfDay Now() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    const TimeOfDay ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        kMsPerSecond;
    return ((local.tm_hour * kMinutesPerHour + local.tm_min) * kSecondsPerMinute + local.tm_sec) *
               kMsPerSecond +
           ms;
}

Sample ReadCard(const cli::Target& target, const card_model::CardModel* model, bool all) {
    Sample sample;
    sample.registers.resize(card_model::kRegisterCount);
    for (unsigned i = 0; i < card_model::kRegisterCount; ++i)
        if (Reads(model, i, all))
            sample.registers[i] = static_cast<uint8_t>(commands::ReadRegister(target, int(i)));
    sample.status = static_cast<uint8_t>(Quorel_sts());  // after the reads: they select a board
    sample.time = Now();
    return sample;
}

}  // namespace watch
