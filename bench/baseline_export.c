/* What a register export costs at the very least, for wine_timing to set
   Quorel_out / Quorel_in against: DLL exports of the same signature and
   calling convention (__stdcall on x86) that store or load one byte of a
   window, reached the same way, through GetProcAddress. */
#include "quorel.h"

static volatile unsigned char window[1024];

__declspec(dllexport) int QUOREL_CALL baseline_out(int index, int value) {
    window[(index & 0xFF) * 4] = (unsigned char)value;
    return 0;
}

__declspec(dllexport) int QUOREL_CALL baseline_in(int index) {
    return window[(index & 0xFF) * 4];
}
