/* Drives a small acquisition card: reset it, enable its interrupt, then
   three times start a conversion, wait until the interrupt is pending,
   acknowledge it and read the result.

   Without the card, the stand-in simulates one with the example card model
   (sim/models/acquisition.toml in the package), so the program runs as it
   would on the card:
     Windows (cmd.exe, from the unpacked package, sim\x64 on PATH):
       set QUOREL_SIM_MODEL=sim\models\acquisition.toml
       acquisition.exe
     Linux: QUOREL_SIM_MODEL=backends/sim/models/acquisition.toml ./acquisition
   Built as examples/c/single_card.c is. */
#include <stdio.h>

#include "quorel.h"

/* The card's registers, as the model names them. */
enum {
    kCtrl = 5,          /* CTRL: bit 0 START begins one conversion */
    kResult = 8,        /* RESULT: the next sample */
    kStart = 0x01,
    kPending = 0x01,    /* status bit 0: the interrupt is pending */
    kConversions = 3,
    kPolls = 1000000L   /* about five seconds of polling: then give up */
};

/* Polls the status until the interrupt is pending; 0 when it never is. */
static int WaitForPending(void) {
    long poll;
    for (poll = 0; poll < kPolls; ++poll)
        if (Quorel_sts() & kPending)
            return 1;
    return 0;
}

int main(void) {
    int conversion, result = Quorel_open(0);

    if (result != QUOREL_SUCCESS) {
        fprintf(stderr, "Quorel_open(0) returned %d: no card (without one, run this on the "
                "stand-in with the example card model: see the top of acquisition.c)\n", result);
        return 1;
    }
    Quorel_srst();
    Quorel_enint();
    for (conversion = 1; conversion <= kConversions; ++conversion) {
        Quorel_out(kCtrl, kStart);
        if (!WaitForPending()) {
            fprintf(stderr, "conversion %d: the interrupt never became pending (status 0x%02X)\n",
                    conversion, Quorel_sts());
            Quorel_close();
            return 1;
        }
        Quorel_ackint();
        printf("conversion %d: result 0x%02X, status after the acknowledgement 0x%02X\n",
               conversion, Quorel_in(kResult), Quorel_sts());
    }
    Quorel_disint();
    Quorel_close();
    return 0;
}
