// Opening one card by position, and its byte registers.
#include "api/card_regs.h"
#include "api/card_search.h"
#include "api/card_state.h"
#include "api/pacing.h"
#include "api/register_io.h"
#include "driver/ulvexa.h"
#include "pci/device_list.h"
#include "quorel.h"
#include "registry/annotate.h"

using namespace quorel;

namespace {

// Window offset of register `index`, or false for the control/status
// register, which the plain register operations refuse.
bool RegisterOffset(int index, uint32_t* offset) {
    const uint8_t reg = static_cast<uint8_t>(index);
    *offset = reg * card::kRegisterStride;
    return reg != card::kCsrIndex;
}

}  // namespace

extern "C" int QUOREL_CALL Quorel_open(int index) {
    StartDiscovery();
    AnnotateFromRegistry();
    SelectedDevice = FindCard(index);
    if (!SelectedDevice)
        return kResultNothing;  // an earlier card, if any, stays open
    RegisterWindow = MapCardWindow(*SelectedDevice, CardType);
    if (!RegisterWindow)
        return kResultMapFailed;
    SetCounterScale();
    return kResultOk;
}

extern "C" int QUOREL_CALL Quorel_close(void) {
    ShutdownUlvexa();
    RegisterWindow = nullptr;
    return kResultOk;
}

extern "C" int QUOREL_CALL Quorel_in(int index) {
    uint32_t offset;
    if (!RegisterWindow || !RegisterOffset(index, &offset))
        return kResultNothing;
    const uint8_t value = LoadRegisterByte(RegisterWindow, offset);
    PaceRead();
    return value;
}

extern "C" int QUOREL_CALL Quorel_out(int index, int value) {
    uint32_t offset;
    if (!RegisterWindow || !RegisterOffset(index, &offset))
        return kResultNothing;
    StoreRegisterByte(RegisterWindow, offset, static_cast<uint8_t>(value));
    PaceWrite();
    return kResultOk;
}
