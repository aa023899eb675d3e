/* Timing of Quorel_64.dll as an application sees it, under Wine: the cost of
   Quorel_out / Quorel_in on a type-1 card against a plain byte store behind a
   call, and the actual pause after writes to a type-2 card for a few
   settings of Quorel_setwr2wrdly. Timed with QueryPerformanceCounter. */
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

#include "baseline_store.h"
#include "e2e_support.h"
#include "pause_stats.h"

enum { kCalls = 1000000, kRounds = 5, kPauseSamples = 2000, kRegister = 5 };
static const double kRequests[] = {1.0, 10.0, 50.5};

static double now_micros(void) {
    static LARGE_INTEGER frequency;
    LARGE_INTEGER now;
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return (double)now.QuadPart * 1e6 / (double)frequency.QuadPart;
}

typedef enum { kBaseline, kOut, kIn } Access;

/* Best of kRounds rounds, in nanoseconds per call. */
static double nanos_per_call(const Api *api, Access access) {
    volatile unsigned char byte = 0;
    double best = 0;
    int round, i;
    for (round = 0; round < kRounds; ++round) {
        double start = now_micros(), took;
        for (i = 0; i < kCalls; ++i) {
            if (access == kBaseline)
                baseline_store(&byte, (unsigned char)i);
            else if (access == kOut)
                api->out(kRegister, i);
            else
                api->in(kRegister);
        }
        took = (now_micros() - start) * 1000.0 / kCalls;
        if (round == 0 || took < best)
            best = took;
    }
    return best;
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
            api->out(kRegister, i);
            measured[i] = now_micros() - start;
        }
        print_pause_stats(kRequests[r], measured, kPauseSamples);
    }
}

int main(void) {
    MachineText machine;
    Api api;
    double base, out, in;
    machine_init(&machine);
    machine_host_bridge(&machine);
    machine_card(&machine, "00:03.0", CARD_TYPE2, 0xFEBFF000u);
    machine_card(&machine, "00:05.0", CARD_TYPE1, 0xFD000000u);
    if (!e2e_start(&machine, &api) || api.open(0) != 0) {
        fprintf(stderr, "cannot open the type-1 card\n");
        return 1;
    }
    base = nanos_per_call(&api, kBaseline);
    out = nanos_per_call(&api, kOut);
    in = nanos_per_call(&api, kIn);
    printf("baseline store  %7.2f ns/call\n", base);
    printf("Quorel_out      %7.2f ns/call  (%.1f times the baseline)\n", out, out / base);
    printf("Quorel_in       %7.2f ns/call  (%.1f times the baseline)\n", in, in / base);
    if (api.open(1) != 0) {
        fprintf(stderr, "cannot open the type-2 card\n");
        return 1;
    }
    pause_accuracy(&api);
    return 0;
}
