/* Timing of Quorel_64.dll as an application sees it, under Wine: the cost of
   Quorel_out / Quorel_in on a type-1 card against a plain byte store behind a
   call, and the actual pause after writes to a type-2 card for a few
   settings of Quorel_setwr2wrdly. Timed with QueryPerformanceCounter. The
   DLL is loaded at run time, as a program built without our import library
   would. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include "baseline_store.h"
#include "bench_machine.h"
#include "pause_stats.h"

enum { kCalls = 1000000, kRounds = 15, kPauseSamples = 2000 };
static const double kRequests[] = {1.0, 10.0, 50.5};

/* The exports timed here (x64 has a single calling convention). */
typedef struct Api {
    int (*open)(int index);
    int (*in)(int index);
    int (*out)(int index, int value);
    int (*setwr2wrdly)(double delay);
} Api;

/* memcpy: FARPROC and the export's own pointer type differ, and a cast
   between function pointer types draws -Wcast-function-type. */
static int resolve(HMODULE dll, const char *name, void *field, size_t size) {
    FARPROC proc = GetProcAddress(dll, name);
    if (!proc)
        fprintf(stderr, "Quorel_64.dll has no export %s\n", name);
    memcpy(field, &proc, size);
    return proc != NULL;
}

/* Windows looks in the program's own folder first, where the build puts
   Quorel_64.dll and the stand-in Ulvexa64.dll. */
static int load(Api *api) {
    HMODULE dll = LoadLibraryA("Quorel_64.dll");
    if (!dll) {
        fprintf(stderr, "cannot load Quorel_64.dll (error %lu)\n", GetLastError());
        return 0;
    }
    return resolve(dll, "Quorel_open", &api->open, sizeof(api->open)) &&
           resolve(dll, "Quorel_in", &api->in, sizeof(api->in)) &&
           resolve(dll, "Quorel_out", &api->out, sizeof(api->out)) &&
           resolve(dll, "Quorel_setwr2wrdly", &api->setwr2wrdly, sizeof(api->setwr2wrdly));
}

static double now_micros(void) {
    static LARGE_INTEGER frequency;
    LARGE_INTEGER now;
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return (double)now.QuadPart * 1e6 / (double)frequency.QuadPart;
}

typedef enum { kBaseline, kOut, kIn, kAccessCount } Access;

/* One round of kCalls calls, in nanoseconds per call. */
static double nanos_per_call(const Api *api, Access access) {
    volatile unsigned char byte = 0;
    double start = now_micros();
    int i;
    for (i = 0; i < kCalls; ++i) {
        if (access == kBaseline)
            baseline_store(&byte, (unsigned char)i);
        else if (access == kOut)
            api->out(kBenchRegister, i);
        else
            api->in(kBenchRegister);
    }
    return (now_micros() - start) * 1000.0 / kCalls;
}

/* Best of kRounds rounds for each access, the three taking turns so that a
   change in the machine's load hits them alike. */
static void best_nanos(const Api *api, double best[kAccessCount]) {
    int round, access;
    for (round = 0; round < kRounds; ++round)
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

int main(void) {
    Api api;
    double best[kAccessCount];
    if (!load(&api) || api.open(kBenchType1Position) != 0) {
        fprintf(stderr, "cannot open the type-1 card\n");
        return 1;
    }
    best_nanos(&api, best);
    printf("baseline store  %7.2f ns/call\n", best[kBaseline]);
    printf("Quorel_out      %7.2f ns/call  (%.2f times the baseline)\n", best[kOut],
           best[kOut] / best[kBaseline]);
    printf("Quorel_in       %7.2f ns/call  (%.2f times the baseline)\n", best[kIn],
           best[kIn] / best[kBaseline]);
    if (api.open(kBenchType2Position) != 0) {
        fprintf(stderr, "cannot open the type-2 card\n");
        return 1;
    }
    pause_accuracy(&api);
    return 0;
}
