/*
 * Quorel: register access to the Velmar QUOREL PCI card from applications.
 *
 * Link with Quorel_32D.dll (32-bit, __stdcall) or Quorel_64.dll (64-bit).
 * Every function returns a signed 32-bit int, one of the results below.
 * The register reads Quorel_in, Quorel_in2 and Quorel_sts return the
 * register byte 0..255 instead, so a register that holds 1 and
 * QUOREL_NOTHING_TO_ACT_ON give the same result.
 *
 * Register index and value arguments count by their low 8 bits only.
 * Registers 0..254 are single bytes 4 bytes apart in the card's window;
 * index 255 is refused (the control/status register behind it is reached
 * only through Quorel_srst, Quorel_enint, Quorel_disint, Quorel_ackint and
 * Quorel_sts).
 *
 * The library holds one process-wide state and takes no locks: serialise
 * all calls.
 */
#ifndef QUOREL_H
#define QUOREL_H

/* 32-bit Windows: callee-cleaned stack; the DLL exports both the decorated
   (_Quorel_open@4) and the plain name. 64-bit Windows has one convention. */
#if defined(_WIN32) && !defined(_WIN64)
#define QUOREL_CALL __stdcall
#else
#define QUOREL_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The functions' results. */
enum {
    QUOREL_SUCCESS = 0,
    /* No card at that position, no card open, an empty board slot,
       register index 255, a null pointer. */
    QUOREL_NOTHING_TO_ACT_ON = 1,
    /* Quorel_open only: the card's register window could not be mapped. */
    QUOREL_MAP_FAILED = 2
};

/* --- One card at a time --------------------------------------------- */

/* Opens the card at `index`, counted from 0 over all cards found: first
   every 4 MiB-window card (device 0x0101) in bus order, then every 1 KiB
   card (device 0x494F). The buses are scanned once, at the first open,
   from bus 0 through its bridges; cards on further root buses count too
   (after those, type by type) only when the environment variable
   QUOREL_SCAN_PEER_BUSES is "1" at that first open.
   Returns QUOREL_SUCCESS when opened, QUOREL_NOTHING_TO_ACT_ON when there
   is no card at that position (any card opened earlier stays open),
   QUOREL_MAP_FAILED when its register window could not be mapped (no card
   is open then). */
int QUOREL_CALL Quorel_open(int index);

/* Closes the card: shuts the driver-access library down. Always
   QUOREL_SUCCESS. */
int QUOREL_CALL Quorel_close(void);

/* Reads register `index`. Returns its value 0..255, or
   QUOREL_NOTHING_TO_ACT_ON (1) when no card is open or the index is 255. */
int QUOREL_CALL Quorel_in(int index);

/* Writes the low byte of `value` to register `index`. Returns
   QUOREL_SUCCESS, or QUOREL_NOTHING_TO_ACT_ON when no card is open or the
   index is 255. */
int QUOREL_CALL Quorel_out(int index, int value);

/* Control/status commands: reset the card, enable, disable or acknowledge
   its interrupt. Each returns QUOREL_SUCCESS, or QUOREL_NOTHING_TO_ACT_ON
   when no card is open. */
int QUOREL_CALL Quorel_srst(void);
int QUOREL_CALL Quorel_enint(void);
int QUOREL_CALL Quorel_disint(void);
int QUOREL_CALL Quorel_ackint(void);

/* Reads the control/status register. Returns its value 0..255, or
   QUOREL_NOTHING_TO_ACT_ON (1) when no card is open. */
int QUOREL_CALL Quorel_sts(void);

/* Stores 1 and 1 (version 1.01) into *major and *minor, prints the banner
   line "Velmar QUOREL DLL V1.01" to standard output and returns
   QUOREL_SUCCESS. With a null pointer it writes and prints nothing and
   returns QUOREL_NOTHING_TO_ACT_ON. */
int QUOREL_CALL Quorel_LibVersion(int *major, int *minor);

/* Sets the pause after each register write to a 1 KiB-window card, in
   microseconds (default 1.0; 0 turns it off; reads always pause 1 us).
   Shared by all cards, kept across close. Always QUOREL_SUCCESS. */
int QUOREL_CALL Quorel_setwr2wrdly(double delay);

/* --- Up to four cards, addressed by board ID ------------------------- */

/* Opens the first four cards in the order of Quorel_open and files each
   under the board ID 0..3 it reports in register 6 (bit 7 adds 2, bit 3
   adds 1; a later card with the same ID replaces the earlier one, a card
   whose window cannot be mapped is skipped). Boards filed before stay
   filed. Returns QUOREL_SUCCESS when at least one card was filed,
   QUOREL_NOTHING_TO_ACT_ON when none. */
int QUOREL_CALL Quorel_open2(void);

/* Closes every board: empties the board table, shuts the driver-access
   library down. Always QUOREL_SUCCESS. */
int QUOREL_CALL Quorel_close2(void);

/* Reads / writes register `index` of board `board`, which also becomes the
   card that the single-card functions address. Results as Quorel_in and
   Quorel_out; QUOREL_NOTHING_TO_ACT_ON also when the board is not filed
   or outside 0..3. */
int QUOREL_CALL Quorel_in2(int board, int index);
int QUOREL_CALL Quorel_out2(int board, int index, int value);

/* Stores 1 (filed) or 0 into ids[0..3], one per board ID, and returns
   QUOREL_SUCCESS. With a null pointer it writes nothing and returns
   QUOREL_NOTHING_TO_ACT_ON. */
int QUOREL_CALL Quorel_getvalidid2(int *ids);

#ifdef __cplusplus
}
#endif

#endif /* QUOREL_H */
