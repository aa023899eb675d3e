/* One card: open the first card found, write a register and read it back,
   read the control/status register, close.

   Windows, MinGW (from the unpacked package):
     x86_64-w64-mingw32-gcc examples/c/single_card.c -I include lib/x64/libQuorel_64.dll.a -o single_card.exe
   Windows, MSVC:   cl examples\c\single_card.c /I include lib\x64\Quorel_64.lib
   Linux:           gcc single_card.c -I include -L <dir of libquorel.so> -lquorel
   Run it with Quorel_64.dll (or Quorel_32D.dll) and the driver-access
   library Ulvexa64.dll (Ulvexa32.dll) beside it or on PATH. */
#include <stdio.h>

#include "quorel.h"

/* Register 5 is the byte at offset 20 of the card's window. */
enum { kRegister = 5, kValue = 0xA5 };

int main(void) {
    int major, minor, result, value;

    Quorel_LibVersion(&major, &minor); /* prints the banner line */

    /* Position 0: the first card, 4 MiB-window cards counted first. */
    result = Quorel_open(0);
    if (result != QUOREL_SUCCESS) {
        fprintf(stderr, "Quorel_open(0) returned %d: %s\n", result,
                result == QUOREL_NOTHING_TO_ACT_ON ? "no card found"
                                                   : "its register window could not be mapped");
        return 1;
    }

    /* Writes and reads return 1 when no card is open; a read returns the
       register byte otherwise, so check the open, as above, not the read. */
    Quorel_out(kRegister, kValue);
    value = Quorel_in(kRegister);
    printf("register %d: wrote 0x%02X, read back 0x%02X\n", kRegister, kValue, value);
    printf("control/status register: 0x%02X\n", Quorel_sts());

    Quorel_close();
    return value == kValue ? 0 : 1;
}
