/* One card at a time: positions, registers, control/status, failures,
   reopening, pacing. */
#include "e2e_cases.h"

#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define SENTINEL 0xA5u
#define SENTINEL_SPAN (CARD_CSR_OFFSET + 4u)
/* Lower bounds compare two readings of one counter; allow for rounding
   of the tick-to-microsecond conversion only. */
#define ROUNDING 1e-6

static const char *const kType2At = "00:03.0";
static const char *const kType1At = "00:05.0";
static const char *const kBehindBridgeAt = "01:00.0";
static const unsigned kType2Bar = 0xFEBFF000u;
static const unsigned kType1Bar = 0xFD000000u;
static const unsigned kBehindBridgeBar = 0xFC800008u; /* prefetchable flag */

/* Host bridge; the type-2 card first on bus 0; a type-1 card; a bridge with
   another type-1 card behind it. Positions: 00:05.0, 01:00.0, 00:03.0. */
static void standard_cards(MachineText *m) {
    machine_init(m);
    machine_host_bridge(m);
    machine_card(m, kType2At, CARD_TYPE2, kType2Bar);
    machine_card(m, kType1At, CARD_TYPE1, kType1Bar);
    machine_bridge(m, "00:1e.0", 1);
    machine_card(m, kBehindBridgeAt, CARD_TYPE1, kBehindBridgeBar);
}

static int start_standard(Api *api) {
    MachineText m;
    standard_cards(&m);
    return e2e_start(&m, api);
}

static void check_mapping_(int at, int n, unsigned long long length, unsigned long long phys_addr) {
    unsigned long long got_length, got_addr;
    unsigned char *window;
    CHECK_AT(at, e2e_mapping(n, &got_length, &got_addr, &window));
    CHECK_EQ_AT(at, got_length, length);
    CHECK_EQ_AT(at, got_addr, phys_addr);
}
#define check_mapping(...) check_mapping_(__LINE__, __VA_ARGS__)

void case_positions(void) {
    Api api;
    if (!start_standard(&api))
        return;
    CHECK_EQ(api.open(0), 0);
    CHECK_EQ(api.open(1), 0);
    CHECK_EQ(api.open(2), 0);
    CHECK_EQ(api.open(3), 1);
    CHECK_EQ(api.open(-1), 1);
    CHECK_EQ(api.open(INT_MIN), 1);
    CHECK_EQ(e2e_calls("MapPhysToLin("), 3);
    check_mapping(0, CARD_WINDOW_TYPE1, kType1Bar);
    check_mapping(1, CARD_WINDOW_TYPE1, kBehindBridgeBar & ~CARD_BAR_FLAGS);
    check_mapping(2, CARD_WINDOW_TYPE2, kType2Bar);
}

/* A type-1 card on a second root bus, 0x40, that no bridge from bus 0 leads
   to: found once the program asks for peer buses. Asked after the DLL is
   loaded, through kernel32: the C runtime's copy of the environment, taken
   at start, would not see it. */
void case_peer_bus_card(void) {
    static const unsigned kPeerBar = 0xE0000000u;
    MachineText m;
    Api api;
    machine_init(&m);
    machine_host_bridge(&m);
    machine_card(&m, "40:02.0", CARD_TYPE1, kPeerBar);
    if (!e2e_start(&m, &api))
        return;
    SetEnvironmentVariableA("QUOREL_SCAN_PEER_BUSES", "1");
    CHECK_EQ(api.open(0), 0);
    CHECK_EQ(api.open(1), 1);
    CHECK_EQ(e2e_calls("MapPhysToLin("), 1);
    check_mapping(0, CARD_WINDOW_TYPE1, kPeerBar);
}

/* Opens position `position` of a machine whose card at `card` has its first
   SENTINEL_SPAN window bytes set to SENTINEL; returns that window. */
static unsigned char *open_sentinel_card_(int at, Api *api, const char *card, int position) {
    MachineText m;
    unsigned long long length, addr;
    unsigned char *window = NULL;
    standard_cards(&m);
    machine_window_fill(&m, card, 0, SENTINEL_SPAN, SENTINEL);
    if (!e2e_start(&m, api))
        return NULL;
    CHECK_EQ_AT(at, api->open(position), 0);
    CHECK_AT(at, e2e_mapping(0, &length, &addr, &window));
    CHECK_AT(at, window != NULL);
    return window;
}
#define open_sentinel_card(...) open_sentinel_card_(__LINE__, __VA_ARGS__)

static void check_registers_(int at, Api *api, unsigned char *window) {
    const unsigned touched[] = {0, 20};
    CHECK_EQ_AT(at, api->out(5, 0x1AB), 0);
    CHECK_EQ_AT(at, window[20], 0xAB);
    CHECK_EQ_AT(at, api->in(5), 0xAB);
    CHECK_EQ_AT(at, api->in(6), SENTINEL);
    CHECK_EQ_AT(at, api->out(256, 0x42), 0); /* index counts by its low byte */
    CHECK_EQ_AT(at, window[0], 0x42);
    CHECK_EQ_AT(at, api->in(255), 1);
    CHECK_EQ_AT(at, api->out(255, 0), 1);
    CHECK_EQ_AT(at, api->in(511), 1);
    CHECK_EQ_AT(at, api->out(511, 0), 1);
    CHECK_AT(at, e2e_window_unchanged(window, SENTINEL_SPAN, SENTINEL, touched, 2));
}
#define check_registers(...) check_registers_(__LINE__, __VA_ARGS__)

void case_registers_type1(void) {
    Api api;
    unsigned char *window = open_sentinel_card(&api, kType1At, 0);
    if (window)
        check_registers(&api, window);
}

void case_registers_type2(void) {
    Api api;
    unsigned char *window = open_sentinel_card(&api, kType2At, 2);
    if (window)
        check_registers(&api, window);
}

void case_control_status(void) {
    static const unsigned csr[] = {CARD_CSR_OFFSET};
    Api api;
    unsigned char *window = open_sentinel_card(&api, kType2At, 2);
    if (!window)
        return;
    CHECK_EQ(api.sts(), SENTINEL);
    CHECK_EQ(api.srst(), 0);
    CHECK_EQ(window[CARD_CSR_OFFSET], 0xC0);
    CHECK_EQ(api.enint(), 0);
    CHECK_EQ(api.sts(), 0x0C);
    CHECK_EQ(api.disint(), 0);
    CHECK_EQ(api.sts(), 0x08);
    CHECK_EQ(api.ackint(), 0);
    CHECK_EQ(api.sts(), 0x03);
    window[CARD_CSR_OFFSET] = 1; /* a status of 1 reads like a failure */
    CHECK_EQ(api.sts(), 1);
    CHECK(e2e_window_unchanged(window, SENTINEL_SPAN, SENTINEL, csr, 1));
}

static void check_refused_(int at, Api *api) {
    CHECK_EQ_AT(at, api->in(0), 1);
    CHECK_EQ_AT(at, api->out(0, 0), 1);
    CHECK_EQ_AT(at, api->srst(), 1);
    CHECK_EQ_AT(at, api->enint(), 1);
    CHECK_EQ_AT(at, api->disint(), 1);
    CHECK_EQ_AT(at, api->ackint(), 1);
    CHECK_EQ_AT(at, api->sts(), 1);
}
#define check_refused(...) check_refused_(__LINE__, __VA_ARGS__)

void case_before_open(void) {
    Api api;
    int major = -1, minor = -1;
    if (!start_standard(&api))
        return;
    check_refused(&api);
    CHECK_EQ(api.close(), 0);
    CHECK_EQ(api.setwr2wrdly(3.0), 0);
    CHECK_EQ(api.lib_version(NULL, &minor), 1);
    CHECK_EQ(minor, -1);
    CHECK_EQ(api.lib_version(&major, &minor), 0);
    CHECK_EQ(major, 1);
    CHECK_EQ(minor, 1);
    CHECK_EQ(e2e_calls("InitializeUlvexa("), 0);
}

void case_failed_search_keeps_card(void) {
    Api api;
    if (!start_standard(&api))
        return;
    CHECK_EQ(api.open(0), 0);
    CHECK_EQ(api.out(2, 0x5C), 0);
    CHECK_EQ(api.open(3), 1);
    CHECK_EQ(api.in(2), 0x5C);
    CHECK_EQ(api.out(2, 0x5D), 0);
    CHECK_EQ(api.in(2), 0x5D);
}

void case_mapping_refused(void) {
    Api api;
    MachineText m;
    standard_cards(&m);
    machine_line(&m, "refuse-map 00:03.0");
    if (!e2e_start(&m, &api))
        return;
    CHECK_EQ(api.open(0), 0);
    CHECK_EQ(api.open(2), 2);
    check_refused(&api);
    CHECK_EQ(api.open(1), 0);
    CHECK_EQ(api.sts(), 0);
}

void case_unmappable_bars(void) {
    Api api;
    MachineText m;
    machine_init(&m);
    machine_host_bridge(&m);
    machine_card(&m, "00:04.0", CARD_TYPE1, 0x00000000u);  /* unassigned */
    machine_card(&m, "00:05.0", CARD_TYPE1, 0x0000E001u);  /* I/O space */
    machine_card(&m, "00:06.0", CARD_TYPE2, 0xFEB00001u);  /* I/O flag on a memory-looking base */
    if (!e2e_start(&m, &api))
        return;
    CHECK_EQ(api.open(0), 2);
    CHECK_EQ(api.open(1), 2);
    CHECK_EQ(api.open(2), 2);
    check_refused(&api);
    CHECK_EQ(e2e_calls("MapPhysToLin("), 0);
}

void case_reopen_without_rescan(void) {
    Api api;
    int reads;
    if (!start_standard(&api))
        return;
    CHECK_EQ(api.open(1), 0);
    CHECK_EQ(api.out(3, 0x77), 0);
    reads = e2e_calls("PciCfgRead(");
    CHECK(reads > 0);
    CHECK_EQ(api.close(), 0);
    check_refused(&api);
    CHECK_EQ(api.open(1), 0);
    CHECK_EQ(api.in(3), 0x77);
    CHECK_EQ(api.open(2), 0);
    CHECK_EQ(e2e_calls("InitializeUlvexa("), 1);
    CHECK_EQ(e2e_calls("RemoveUlvexaDriver("), 1);
    CHECK_EQ(e2e_calls("ShutdownUlvexa("), 1);
    CHECK_EQ(e2e_calls("PciCfgRead("), reads);
    CHECK_EQ(e2e_calls("MapPhysToLin("), 3);
}

void case_pacing(void) {
    Api api;
    long long start;
    if (!start_standard(&api))
        return;
    CHECK_EQ(api.setwr2wrdly(50.5), 0); /* before the open: used by it */
    CHECK_EQ(api.open(2), 0);
    start = e2e_ticks();
    CHECK_EQ(api.out(1, 0), 0);
    CHECK(e2e_elapsed_micros(start) >= 50.5 - ROUNDING);
    start = e2e_ticks();
    CHECK_EQ(api.in(1), 0);
    CHECK(e2e_elapsed_micros(start) >= 1.0 - ROUNDING);
    CHECK_EQ(api.close(), 0);
    CHECK_EQ(api.open(2), 0);
    start = e2e_ticks();
    CHECK_EQ(api.out(1, 0), 0); /* kept across close */
    CHECK(e2e_elapsed_micros(start) >= 50.5 - ROUNDING);
}

void case_version_banner(void) {
    Api api;
    MachineText m;
    char path[MAX_PATH], line[128] = "";
    FILE *file;
    int major = 0, minor = 0;
    standard_cards(&m);
    if (!e2e_start(&m, &api))
        return;
    /* The DLL prints through the same C runtime as this program. */
    e2e_temp_file("banner", path);
    CHECK(freopen(path, "w", stdout) != NULL);
    CHECK_EQ(api.lib_version(&major, &minor), 0);
    fflush(stdout);
    file = fopen(path, "r");
    CHECK(file && fgets(line, sizeof(line), file));
    if (file)
        fclose(file);
    CHECK(strcmp(line, "Velmar QUOREL DLL V1.01\n") == 0);
    if (strcmp(line, "Velmar QUOREL DLL V1.01\n") != 0)
        fprintf(stderr, "banner: \"%s\"\n", line);
}
