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

// Defined here, in the unit of the register exports, rather than with the
// rest of the card state: for data defined in another unit, the x86-64
// mingw compiler reads the address through a .refptr pointer (in case the
// data turns out to be imported from another DLL), an extra dependent load
// on every register access. Here it addresses them directly.
uint8_t* quorel::RegisterWindow = nullptr;
int32_t quorel::CardType = 0;

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
    return PaceRead(LoadRegisterByte(RegisterWindow, offset));
}

extern "C" int QUOREL_CALL Quorel_out(int index, int value) {
    uint32_t offset;
    if (!RegisterWindow || !RegisterOffset(index, &offset))
        return kResultNothing;
    StoreRegisterByte(RegisterWindow, offset, static_cast<uint8_t>(value));
    return PaceWrite(kResultOk);
}
