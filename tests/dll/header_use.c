/* Compiled, not run: include/quorel.h must serve a strict C89 (and C++98)
   application, 32-bit stdcall included, without a single warning. */
#include "quorel.h"

int use_every_export(void);

int use_every_export(void) {
    int major, minor, ids[4];
    int (QUOREL_CALL *open_fn)(int) = Quorel_open;
    int sum = open_fn(0) + Quorel_in(1) + Quorel_out(1, 2) + Quorel_srst() + Quorel_enint() +
              Quorel_disint() + Quorel_ackint() + Quorel_sts() +
              Quorel_LibVersion(&major, &minor) + Quorel_setwr2wrdly(1.5) + Quorel_close();
    sum += Quorel_open2() + Quorel_in2(0, 1) + Quorel_out2(0, 1, 2) + Quorel_getvalidid2(ids) +
           Quorel_close2();
    return sum + major + minor + ids[0];
}
