/* Two threads calling the library at once, for the trace flavour's test:
   each reads a register of the open card kCalls times. The library asks
   its callers to serialise their calls; register reads of an open card
   are safe to make at once all the same, and are what such a caller makes. */
#include <stdio.h>
#include <windows.h>

#include "quorel.h"

enum { kCalls = 200, kRegister = 5 };

static DWORD WINAPI reader(LPVOID unused) {
    int i;
    (void)unused;
    for (i = 0; i < kCalls; ++i)
        Quorel_in(kRegister);
    return 0;
}

int main(void) {
    HANDLE threads[2];
    int i;
    if (Quorel_open(0) != 0) {
        fprintf(stderr, "no card at position 0\n");
        return 1;
    }
    for (i = 0; i < 2; ++i)
        threads[i] = CreateThread(NULL, 0, reader, NULL, 0, NULL);
    if (!threads[0] || !threads[1]) {
        fprintf(stderr, "cannot start the threads\n");
        return 1;
    }
    WaitForMultipleObjects(2, threads, TRUE, INFINITE);
    Quorel_close();
    return 0;
}
