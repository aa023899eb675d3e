/* Up to four cards, addressed by the board ID each reports. */
#include "e2e_cases.h"

#include <limits.h>
#include <stddef.h>

#define ROUNDING 1e-6

typedef struct Card {
    const char *at;
    unsigned device;
    unsigned bar;
    unsigned board_register; /* byte at window offset 24 */
    unsigned status;         /* byte at the control/status offset */
} Card;

static int start_cards(Api *api, const Card *cards, int count) {
    MachineText m;
    int i;
    machine_init(&m);
    machine_host_bridge(&m);
    for (i = 0; i < count; ++i) {
        machine_card(&m, cards[i].at, cards[i].device, cards[i].bar);
        machine_window_byte(&m, cards[i].at, CARD_BOARD_ID_OFFSET, cards[i].board_register);
        machine_window_byte(&m, cards[i].at, CARD_CSR_OFFSET, cards[i].status);
    }
    return e2e_start(&m, api);
}

static void check_valid_(int at, Api *api, int v0, int v1, int v2, int v3) {
    int ids[4] = {-1, -1, -1, -1};
    CHECK_EQ_AT(at, api->getvalidid2(ids), 0);
    CHECK_EQ_AT(at, ids[0], v0);
    CHECK_EQ_AT(at, ids[1], v1);
    CHECK_EQ_AT(at, ids[2], v2);
    CHECK_EQ_AT(at, ids[3], v3);
}
#define check_valid(...) check_valid_(__LINE__, __VA_ARGS__)

static const Card kTwoBoards[] = {
    {"00:04.0", CARD_TYPE1, 0xFD000000u, 0x80, 0x12}, /* board 2 */
    {"00:05.0", CARD_TYPE1, 0xFC000000u, 0x00, 0x10}, /* board 0 */
};

void case_board_ids(void) {
    static const Card cards[] = {
        {"00:04.0", CARD_TYPE1, 0xFD000000u, 0x88, 0x43},
        {"00:05.0", CARD_TYPE1, 0xFC000000u, 0x80, 0x42},
        {"00:06.0", CARD_TYPE1, 0xFB000000u, 0x08, 0x41},
        {"00:07.0", CARD_TYPE1, 0xFA000000u, 0x77, 0x40}, /* neither bit 7 nor 3 */
    };
    Api api;
    int board;
    if (!start_cards(&api, cards, 4))
        return;
    CHECK_EQ(api.open2(), 0);
    check_valid(&api, 1, 1, 1, 1);
    for (board = 0; board < 4; ++board) {
        CHECK_EQ(api.in2(board, 0), 0);
        CHECK_EQ(api.sts(), 0x40 + board);
    }
}

void case_two_boards(void) {
    Api api;
    if (!start_cards(&api, kTwoBoards, 2))
        return;
    CHECK_EQ(api.open2(), 0);
    check_valid(&api, 1, 0, 1, 0);
    CHECK_EQ(api.sts(), 0x10); /* the card mapped last */
    CHECK_EQ(api.getvalidid2(NULL), 1);
}

void case_no_card(void) {
    Api api;
    if (!start_cards(&api, NULL, 0))
        return;
    CHECK_EQ(api.open2(), 1);
    check_valid(&api, 0, 0, 0, 0);
    CHECK_EQ(api.in2(0, 0), 1);
    CHECK_EQ(api.sts(), 1);
}

void case_board_selection(void) {
    static const int outside[] = {1, 3, -1, 4, INT_MAX, INT_MIN};
    Api api;
    size_t i;
    if (!start_cards(&api, kTwoBoards, 2))
        return;
    CHECK_EQ(api.open2(), 0);
    CHECK_EQ(api.in2(2, 0), 0);
    CHECK_EQ(api.sts(), 0x12);
    for (i = 0; i < sizeof(outside) / sizeof(outside[0]); ++i) {
        CHECK_EQ(api.in2(outside[i], 0), 1);
        CHECK_EQ(api.out2(outside[i], 0, 0x55), 1);
        CHECK_EQ(api.sts(), 0x12); /* still board 2 */
    }
    CHECK_EQ(api.in(0), 0); /* nothing was written anywhere */
    CHECK_EQ(api.in2(0, 0), 0);
    CHECK_EQ(api.in2(0, 255), 1);
    CHECK_EQ(api.sts(), 0x10);
    CHECK_EQ(api.out2(2, 511, 0), 1); /* refused, but board 2 is selected */
    CHECK_EQ(api.sts(), 0x12);
    CHECK_EQ(api.out2(0, 256 + 9, 0x1C3), 0);
    CHECK_EQ(api.in2(0, 9), 0xC3);
    CHECK_EQ(api.in2(2, 9), 0);
}

void case_close_versus_close2(void) {
    Api api;
    if (!start_cards(&api, kTwoBoards, 2))
        return;
    CHECK_EQ(api.open2(), 0);
    CHECK_EQ(api.close(), 0);
    CHECK_EQ(api.sts(), 1);
    check_valid(&api, 1, 0, 1, 0);
    CHECK_EQ(api.in2(2, 0), 0);
    CHECK_EQ(api.sts(), 0x12);
    CHECK_EQ(api.close2(), 0);
    check_valid(&api, 0, 0, 0, 0);
    CHECK_EQ(api.in2(2, 0), 1);
    CHECK_EQ(api.out2(0, 0, 0), 1);
    CHECK_EQ(api.in(0), 1);
    CHECK_EQ(api.srst(), 1);
    CHECK_EQ(api.sts(), 1);
    CHECK_EQ(e2e_calls("ShutdownUlvexa("), 2);
}

void case_mixed_types_paced(void) {
    static const Card cards[] = {
        {"00:03.0", CARD_TYPE2, 0xFEBFF000u, 0x88, 0x33}, /* board 3 */
        {"00:05.0", CARD_TYPE1, 0xFD000000u, 0x08, 0x11}, /* board 1 */
    };
    Api api;
    long long start;
    int board;
    if (!start_cards(&api, cards, 2))
        return;
    CHECK_EQ(api.setwr2wrdly(50.5), 0);
    CHECK_EQ(api.open2(), 0);
    check_valid(&api, 0, 1, 0, 1);
    for (board = 1; board <= 3; board += 2) {
        start = e2e_ticks();
        CHECK_EQ(api.out2(board, 1, 0), 0);
        CHECK(e2e_elapsed_micros(start) >= 50.5 - ROUNDING);
        start = e2e_ticks();
        CHECK_EQ(api.in2(board, 1), 0);
        CHECK(e2e_elapsed_micros(start) >= 1.0 - ROUNDING);
    }
}

void case_fifth_card_and_duplicate(void) {
    /* Search order: the four type-1 cards, then the type-2 card. */
    static const Card cards[] = {
        {"00:03.0", CARD_TYPE2, 0xFEBFF000u, 0x08, 0x35}, /* fifth: never mapped */
        {"00:04.0", CARD_TYPE1, 0xFD000000u, 0x00, 0x31},
        {"00:05.0", CARD_TYPE1, 0xFC000000u, 0x80, 0x32}, /* board 2, replaced */
        {"00:06.0", CARD_TYPE1, 0xFB000000u, 0x88, 0x33},
        {"00:07.0", CARD_TYPE1, 0xFA000000u, 0x80, 0x34}, /* board 2 again */
    };
    Api api;
    unsigned long long length, addr;
    unsigned char *window;
    int n;
    if (!start_cards(&api, cards, 5))
        return;
    CHECK_EQ(api.open2(), 0);
    check_valid(&api, 1, 0, 1, 1);
    CHECK_EQ(e2e_calls("MapPhysToLin("), 4);
    for (n = 0; n < 4; ++n) {
        CHECK(e2e_mapping(n, &length, &addr, &window));
        CHECK(addr != 0xFEBFF000u);
    }
    CHECK_EQ(api.in2(2, 0), 0);
    CHECK_EQ(api.sts(), 0x34);
    CHECK_EQ(api.out2(1, 0, 0), 1);
}
