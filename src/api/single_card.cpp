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

// Window offset of register `index`: the low byte of `index` selects it.
// The plain register operations refuse card::kCsrIndex, the
// control/status register.
uint8_t RegisterOf(int index) { return static_cast<uint8_t>(index); }
uint32_t OffsetOf(uint8_t reg) { return reg * card::kRegisterStride; }

}  // namespace

extern "C" int QUOREL_CALL Quorel_open(int index) {
    StartDiscovery();
    AnnotateFromRegistry();
    SelectedDevice = FindCard(index);
    if (!SelectedDevice)
        return QUOREL_NOTHING_TO_ACT_ON;  // an earlier card, if any, stays open
    RegisterWindow = MapCardWindow(*SelectedDevice, CardType);
    if (!RegisterWindow)
        return QUOREL_MAP_FAILED;
    SetCounterScale();
    return QUOREL_SUCCESS;
}

extern "C" int QUOREL_CALL Quorel_close(void) {
    ShutdownUlvexa();
    RegisterWindow = nullptr;
    return QUOREL_SUCCESS;
}

// Both read the window pointer once and test it with the index before any
// other work: the i686 compiler then keeps the unpaced path within the
// three scratch registers, without a frame.
extern "C" int QUOREL_CALL Quorel_in(int index) {
    uint8_t* const window = RegisterWindow;
    const uint8_t reg = RegisterOf(index);
    if (!window || reg == card::kCsrIndex)
        return QUOREL_NOTHING_TO_ACT_ON;
    return PaceRead(LoadRegisterByte(window, OffsetOf(reg)));
}

extern "C" int QUOREL_CALL Quorel_out(int index, int value) {
    uint8_t* const window = RegisterWindow;
    const uint8_t reg = RegisterOf(index);
    if (!window || reg == card::kCsrIndex)
        return QUOREL_NOTHING_TO_ACT_ON;
    StoreRegisterByte(window, OffsetOf(reg), static_cast<uint8_t>(value));
    return PaceWrite(QUOREL_SUCCESS);
}
