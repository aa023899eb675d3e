/* Several cards: open up to four at once, list the board IDs present, and
   access each board by its ID. Build and run as single_card.c. */
#include <stdio.h>

#include "quorel.h"

enum {
    kBoards = 4,          /* board IDs 0..3 */
    kBoardIdRegister = 6, /* bit 7 and bit 3 give the board ID */
    kRegister = 5
};

/* Writes a value of its own to one board and reads it back; 0 when it came back. */
static int exercise_board(int board) {
    const int value = 0x50 + board;
    int read_back;
    Quorel_out2(board, kRegister, value);
    read_back = Quorel_in2(board, kRegister);
    /* Quorel_in2 also made this board the one Quorel_sts reads. */
    printf("board %d: board-ID register 0x%02X, register %d 0x%02X, status 0x%02X\n", board,
           Quorel_in2(board, kBoardIdRegister), kRegister, read_back, Quorel_sts());
    return read_back == value ? 0 : 1;
}

int main(void) {
    int ids[kBoards], board, failures = 0;

    /* Files each of the first four cards under the board ID it reports. */
    if (Quorel_open2() != QUOREL_SUCCESS) {
        fprintf(stderr, "Quorel_open2 found no card\n");
        return 1;
    }
    Quorel_getvalidid2(ids);
    for (board = 0; board < kBoards; ++board) {
        if (ids[board])
            failures += exercise_board(board);
        else
            printf("board %d: not present\n", board);
    }

    Quorel_close2(); /* empties the board table */
    return failures == 0 ? 0 : 1;
}
