#include "pause_stats.h"

#include <stdio.h>
#include <stdlib.h>

static int compare(const void *a, const void *b) {
    double x = *(const double *)a, y = *(const double *)b;
    return (x > y) - (x < y);
}

/* Nearest-rank percentile of sorted values. */
static double percentile(const double *sorted, size_t count, double p) {
    size_t rank = (size_t)(p / 100.0 * (double)count + 0.999999);
    if (rank < 1)
        rank = 1;
    return sorted[(rank > count ? count : rank) - 1];
}

void print_pause_header(void) {
    printf("%10s %10s %10s %10s   %s\n", "request_us", "min_us", "median_us", "p99_us",
           "overshoot min/median/p99 (us)");
}

void print_pause_stats(double requested, double *measured, size_t count) {
    double lo, mid, p99;
    if (count == 0)
        return;
    qsort(measured, count, sizeof(*measured), compare);
    lo = measured[0];
    mid = percentile(measured, count, 50.0);
    p99 = percentile(measured, count, 99.0);
    printf("%10.2f %10.3f %10.3f %10.3f   %+.3f / %+.3f / %+.3f\n", requested, lo, mid, p99,
           lo - requested, mid - requested, p99 - requested);
}
