/* Summary of measured pauses against the requested length. */
#ifndef QUOREL_BENCH_PAUSE_STATS_H
#define QUOREL_BENCH_PAUSE_STATS_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Sorts the `count` measured pauses (microseconds) and prints one line:
   the request, min, median and 99th percentile, and each one's overshoot. */
void print_pause_stats(double requested, double *measured, size_t count);
void print_pause_header(void);

#ifdef __cplusplus
}
#endif

#endif /* QUOREL_BENCH_PAUSE_STATS_H */
