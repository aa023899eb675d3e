/* Drives card 0 through the library, as an application does, one step per
   argument, for programs that share a simulated card (QUOREL_SIM_SHARED):
     rN          reads register N, prints "rN 0xVV"
     wN:VV       writes VV (hex) to register N
     s           reads the status, prints "s 0xVV"
     touch:PATH  makes the file PATH
     until:PATH  waits until the file PATH is there (at most a minute)
   Exits 1 at the first step that fails, naming it. */
#include <stdio.h>
#include <string.h>
#include <windows.h>

#include "quorel.h"

static int Touch(const char* path) {
    FILE* file = fopen(path, "w");
    return file && fclose(file) == 0;
}

static int Until(const char* path) {
    int waited;
    for (waited = 0; waited < 6000; ++waited, Sleep(10))
        if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
            return 1;
    return 0;
}

static int Step(const char* step) {
    unsigned index, value;
    if (sscanf(step, "w%u:%x", &index, &value) == 2)
        return Quorel_out((int)index, (int)value) == QUOREL_SUCCESS;
    if (sscanf(step, "r%u", &index) == 1)
        return printf("r%u 0x%02X\n", index, Quorel_in((int)index)) > 0;
    if (strcmp(step, "s") == 0)
        return printf("s 0x%02X\n", Quorel_sts()) > 0;
    if (strncmp(step, "touch:", 6) == 0)
        return Touch(step + 6);
    return strncmp(step, "until:", 6) == 0 && Until(step + 6);
}

int main(int argc, char** argv) {
    int i, opened = Quorel_open(0);
    if (opened != QUOREL_SUCCESS) {
        fprintf(stderr, "Quorel_open(0) returned %d\n", opened);
        return 1;
    }
    for (i = 1; i < argc; ++i) {
        fflush(stdout);
        if (!Step(argv[i])) {
            fprintf(stderr, "step %s failed\n", argv[i]);
            return 1;
        }
    }
    Quorel_close();
    return 0;
}
