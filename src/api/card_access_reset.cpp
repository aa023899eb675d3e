// The card-access globals back to their values at load, for tests and
// fuzzers: linked into the core they use, not into the DLLs or
// libquorel.so.
#include "api/card_state.h"
#include "api/pacing.h"

namespace quorel {

void internal::ResetCardAccess() {
    RegisterWindow = nullptr;
    CardType = 0;
    SelectedDevice = nullptr;
    WindowMapRecord = {};
    for (CardSlot& slot : CardSlots)
        slot = CardSlot{};
    MicrosPerTick = 0.0;
    Wr2WrDelay = kDefaultWriteDelayMicros;
}

}  // namespace quorel
