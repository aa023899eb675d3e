/*
 * Builds simulated machines holding cards, as text for the stand-in
 * driver-access library: one lspci -xxx dump per function plus directive
 * lines for the register windows. Plain C, shared by the unit tests and the
 * end-to-end program that drives the DLL.
 */
#ifndef QUOREL_TESTS_CARD_MACHINE_H
#define QUOREL_TESTS_CARD_MACHINE_H

#include <stddef.h>

#include "card_facts.h"

#ifdef __cplusplus
extern "C" {
#endif

/* A growing text buffer; machine_free releases it (machine_init to reuse). */
typedef struct MachineText {
    char *text;
    size_t length;
    size_t capacity;
} MachineText;

void machine_init(MachineText *m);
void machine_free(MachineText *m);
/* A host bridge at 00:00.0, as every PC has. */
void machine_host_bridge(MachineText *m);
/* A card of device ID `device` at `bdf` ("00:05.0") with BAR0 `bar0`. */
void machine_card(MachineText *m, const char *bdf, unsigned device, unsigned bar0);
/* A PCI-to-PCI bridge at `bdf` leading to bus `secondary`. */
void machine_bridge(MachineText *m, const char *bdf, unsigned secondary);
/* Window bytes at `offset`: `count` copies of `value`. */
void machine_window_fill(MachineText *m, const char *bdf, unsigned offset, unsigned count,
                         unsigned value);
/* One window byte: the board-ID register, the status byte, ... */
void machine_window_byte(MachineText *m, const char *bdf, unsigned offset, unsigned value);
/* Any other line, e.g. "refuse-map 00:05.0" or "fail-init". */
void machine_line(MachineText *m, const char *line);

#ifdef __cplusplus
}
#endif

#endif /* QUOREL_TESTS_CARD_MACHINE_H */
