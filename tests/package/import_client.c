/* An application of the release package's import libraries: calls all
   sixteen functions through quorel.h, so its import table names each one as
   the import library binds it. Built without a C runtime (MSVC's is not at
   hand here): its entry point is its own and it reports through its exit
   code, 0 when every call did what it should on the default machine. */
#include "quorel.h"

enum { kRegister = 5, kBoard = 1 };

static int single_card(void) {
    int major = 0, minor = 0;
    if (Quorel_LibVersion(&major, &minor) != 0 || major != 1 || minor != 1)
        return 10;
    if (Quorel_open(0) != 0)
        return 11;
    if (Quorel_out(kRegister, 0x5A) != 0 || Quorel_in(kRegister) != 0x5A)
        return 12;
    /* The double argument: 8 bytes on the stack in the 32-bit convention. */
    if (Quorel_setwr2wrdly(0.5) != 0)
        return 13;
    if (Quorel_srst() != 0 || Quorel_enint() != 0 || Quorel_disint() != 0 || Quorel_ackint() != 0)
        return 14;
    /* The last command written to the control/status register was 0x03. */
    if (Quorel_sts() != 0x03)
        return 15;
    return Quorel_close() == 0 ? 0 : 16;
}

#ifdef _MSC_VER
/* MSVC-style compilers mark floating-point use with a reference to
   _fltused, which the C runtime would define. */
int _fltused;
#endif

static int boards(void) {
    int ids[4];
    /* Set one by one: an initializer may become a call of the runtime's memset. */
    ids[0] = ids[1] = ids[2] = ids[3] = -1;
    if (Quorel_open2() != 0 || Quorel_getvalidid2(ids) != 0 || ids[kBoard] != 1)
        return 20;
    if (Quorel_out2(kBoard, kRegister, 0x33) != 0 || Quorel_in2(kBoard, kRegister) != 0x33)
        return 21;
    return Quorel_close2() == 0 ? 0 : 22;
}

int client_main(void);

int client_main(void) {
    int result = single_card();
    return result != 0 ? result : boards();
}
