/* Timing of the Quorel DLL as an application sees it, under Wine (64- or
   32-bit, as built): the cost of Quorel_out / Quorel_in on a type-1 card
   against exports of the same convention that only store / load one byte
   (bench_baseline.dll), and the actual pause after writes to a type-2 card
   for a few settings of Quorel_setwr2wrdly. Timed with
   QueryPerformanceCounter. The DLLs are loaded at run time, as a program
   built without our import library would, and on x86 called through their
   decorated __stdcall names. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include "bench_machine.h"
#include "pause_stats.h"
#include "quorel.h"

enum { kDefaultCalls = 1000000, kDefaultRounds = 15, kPauseSamples = 2000 };
/* Calls per round and rounds: fewer for the trace DLL, which writes a line
   per call (wine_timing.exe CALLS ROUNDS). */
static int calls = kDefaultCalls, rounds = kDefaultRounds;
static const double kRequests[] = {1.0, 10.0, 50.5};

#ifdef _WIN64
#define QUOREL_DLL "Quorel_64.dll"
#else
#define QUOREL_DLL "Quorel_32D.dll"
#endif

/* The exports timed here, and the baseline's two. */
typedef struct Api {
    int(QUOREL_CALL *open)(int index);
    int(QUOREL_CALL *in)(int index);
    int(QUOREL_CALL *out)(int index, int value);
    int(QUOREL_CALL *setwr2wrdly)(double delay);
    int(QUOREL_CALL *baseline_in)(int index);
    int(QUOREL_CALL *baseline_out)(int index, int value);
} Api;

/* `name`, decorated with its argument bytes on x86 where `decorate` says
   so. memcpy: FARPROC and the export's own pointer type differ, and a cast
   between function pointer types draws -Wcast-function-type. */
static int resolve(HMODULE dll, const char *name, int arg_bytes, int decorate, void *field,
                   size_t size) {
    char symbol[64];
    FARPROC proc;
#ifdef _WIN64
    decorate = 0;
#endif
    if (decorate)
        snprintf(symbol, sizeof(symbol), "_%s@%d", name, arg_bytes);
    else
        snprintf(symbol, sizeof(symbol), "%s", name);
    proc = dll ? GetProcAddress(dll, symbol) : NULL;
    if (!proc)
        fprintf(stderr, "no export %s\n", symbol);
    memcpy(field, &proc, size);
    return proc != NULL;
}
#define RESOLVE(dll, field, name, bytes, decorate) \
    resolve(dll, name, bytes, decorate, &api->field, sizeof(api->field))

/* Windows looks in the program's own folder first, where the build puts
   the Quorel DLL, the stand-in driver-access DLL and the baseline. */
static int load(Api *api) {
    HMODULE quorel = LoadLibraryA(QUOREL_DLL), baseline = LoadLibraryA("bench_baseline.dll");
    if (!quorel || !baseline) {
        fprintf(stderr, "cannot load %s or bench_baseline.dll (error %lu)\n", QUOREL_DLL,
                GetLastError());
        return 0;
    }
    return RESOLVE(quorel, open, "Quorel_open", 4, 1) && RESOLVE(quorel, in, "Quorel_in", 4, 1) &&
           RESOLVE(quorel, out, "Quorel_out", 8, 1) &&
           RESOLVE(quorel, setwr2wrdly, "Quorel_setwr2wrdly", 8, 1) &&
           RESOLVE(baseline, baseline_in, "baseline_in", 4, 0) &&
           RESOLVE(baseline, baseline_out, "baseline_out", 8, 0);
}

static double now_micros(void) {
    static LARGE_INTEGER frequency;
    LARGE_INTEGER now;
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return (double)now.QuadPart * 1e6 / (double)frequency.QuadPart;
}

typedef enum { kBaselineOut, kOut, kBaselineIn, kIn, kAccessCount } Access;

/* One round of calls calls, in nanoseconds per call. */
static double nanos_per_call(const Api *api, Access access) {
    double start = now_micros();
    int i;
    for (i = 0; i < calls; ++i) {
        if (access == kBaselineOut)
            api->baseline_out(kBenchRegister, i);
        else if (access == kOut)
            api->out(kBenchRegister, i);
        else if (access == kBaselineIn)
            api->baseline_in(kBenchRegister);
        else
            api->in(kBenchRegister);
    }
    return (now_micros() - start) * 1000.0 / calls;
}

/* Best of rounds rounds for each access, the four taking turns so that a
   change in the machine's load hits them alike. */
static void best_nanos(const Api *api, double best[kAccessCount]) {
    int round, access;
    for (round = 0; round < rounds; ++round)
        for (access = 0; access < kAccessCount; ++access) {
            double took = nanos_per_call(api, (Access)access);
            if (round == 0 || took < best[access])
                best[access] = took;
        }
}

static void pause_accuracy(const Api *api) {
    static double measured[kPauseSamples];
    size_t r;
    int i;
    print_pause_header();
    for (r = 0; r < sizeof(kRequests) / sizeof(kRequests[0]); ++r) {
        api->setwr2wrdly(kRequests[r]);
        for (i = 0; i < kPauseSamples; ++i) {
            double start = now_micros();
            api->out(kBenchRegister, i);
            measured[i] = now_micros() - start;
        }
        print_pause_stats(kRequests[r], measured, kPauseSamples);
    }
}

int main(int argc, char **argv) {
    Api api;
    double best[kAccessCount];
    if (argc == 3) {
        calls = atoi(argv[1]);
        rounds = atoi(argv[2]);
    }
    if (calls < 1 || rounds < 1) {
        fprintf(stderr, "usage: wine_timing.exe [CALLS ROUNDS], both at least 1\n");
        return 2;
    }
    if (!load(&api) || api.open(kBenchType1Position) != 0) {
        fprintf(stderr, "cannot open the type-1 card\n");
        return 1;
    }
    best_nanos(&api, best);
    printf("%s, %d-bit\n", QUOREL_DLL, (int)sizeof(void *) * 8);
    printf("baseline store  %7.2f ns/call\n", best[kBaselineOut]);
    printf("Quorel_out      %7.2f ns/call  (%.2f times the store)\n", best[kOut],
           best[kOut] / best[kBaselineOut]);
    printf("baseline load   %7.2f ns/call\n", best[kBaselineIn]);
    printf("Quorel_in       %7.2f ns/call  (%.2f times the load)\n", best[kIn],
           best[kIn] / best[kBaselineIn]);
    if (api.open(kBenchType2Position) != 0) {
        fprintf(stderr, "cannot open the type-2 card\n");
        return 1;
    }
    pause_accuracy(&api);
    return 0;
}
