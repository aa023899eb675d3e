/* What a register store costs at the very least: a call that cannot be
   inlined and stores one byte through a pointer. The benchmarks set the
   cost of Quorel_out / Quorel_in against it. */
#ifndef QUOREL_BENCH_BASELINE_STORE_H
#define QUOREL_BENCH_BASELINE_STORE_H

#ifdef __cplusplus
extern "C" {
#endif

void baseline_store(volatile unsigned char *where, unsigned char value);

#ifdef __cplusplus
}
#endif

#endif /* QUOREL_BENCH_BASELINE_STORE_H */
