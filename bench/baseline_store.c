#include "baseline_store.h"

/* In a file of its own and marked noinline: no caller may see through it. */
__attribute__((noinline)) void baseline_store(volatile unsigned char *where,
                                              unsigned char value) {
    *where = value;
}
