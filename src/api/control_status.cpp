// The control/status register at window offset 1020: command bytes written
// to it, its status byte read back. Never paced.
#include "api/card_regs.h"
#include "api/card_state.h"
#include "api/register_io.h"
#include "quorel.h"

using namespace quorel;

namespace {

int WriteCommand(uint8_t command) {
    if (!RegisterWindow)
        return QUOREL_NOTHING_TO_ACT_ON;
    StoreRegisterByte(RegisterWindow, card::kCsrOffset, command);
    return QUOREL_SUCCESS;
}

}  // namespace

extern "C" int QUOREL_CALL Quorel_srst(void) { return WriteCommand(card::kCsrReset); }

extern "C" int QUOREL_CALL Quorel_enint(void) { return WriteCommand(card::kCsrEnableInt); }

extern "C" int QUOREL_CALL Quorel_disint(void) { return WriteCommand(card::kCsrDisableInt); }

extern "C" int QUOREL_CALL Quorel_ackint(void) { return WriteCommand(card::kCsrAckInt); }

extern "C" int QUOREL_CALL Quorel_sts(void) {
    if (!RegisterWindow)
        return QUOREL_NOTHING_TO_ACT_ON;
    return LoadRegisterByte(RegisterWindow, card::kCsrOffset);
}
