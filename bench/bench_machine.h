/* The benchmarks run on the stand-in's default machine (QUOREL_SIM_MACHINE
   unset): its two type-1 cards are positions 0 and 1, its type-2 card
   position 2. Every access goes to one register. */
#ifndef QUOREL_BENCH_BENCH_MACHINE_H
#define QUOREL_BENCH_BENCH_MACHINE_H

enum { kBenchType1Position = 0, kBenchType2Position = 2, kBenchRegister = 5 };

#endif /* QUOREL_BENCH_BENCH_MACHINE_H */
