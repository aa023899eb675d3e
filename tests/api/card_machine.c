#include "card_machine.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum {
    kConfigBytes = 256,
    kBytesPerLine = 16,
    kClassDataAcquisition = 0x118000u, /* the card's class: no bridge */
    kClassHostBridge = 0x060000u,
    kClassPciBridge = 0x060400u,
    kLayoutPciBridge = 1
};

static void grow(MachineText *m, size_t more) {
    if (m->length + more + 1 <= m->capacity)
        return;
    m->capacity = (m->length + more + 1) * 2;
    m->text = (char *)realloc(m->text, m->capacity);
    if (!m->text) {
        fputs("card_machine: out of memory\n", stderr);
        abort();
    }
}

static void append(MachineText *m, const char *format, ...) {
    va_list args;
    int needed;
    va_start(args, format);
    needed = vsnprintf(NULL, 0, format, args);
    va_end(args);
    grow(m, (size_t)needed);
    va_start(args, format);
    vsnprintf(m->text + m->length, (size_t)needed + 1, format, args);
    va_end(args);
    m->length += (size_t)needed;
}

static void put32(unsigned char *config, unsigned offset, unsigned value) {
    unsigned i;
    for (i = 0; i < 4; ++i)
        config[offset + i] = (unsigned char)(value >> (8 * i));
}

/* One function's dump: the header line, then 16 lines of 16 bytes. */
static void dump(MachineText *m, const char *bdf, const unsigned char *config) {
    unsigned line, i;
    append(m, "%s Function %02x%02x:%02x%02x\n", bdf, config[1], config[0], config[3], config[2]);
    for (line = 0; line < kConfigBytes; line += kBytesPerLine) {
        append(m, "%02x:", line);
        for (i = 0; i < kBytesPerLine; ++i)
            append(m, " %02x", config[line + i]);
        append(m, "\n");
    }
    append(m, "\n");
}

static void header(unsigned char *config, unsigned vendor, unsigned device, unsigned class_code,
                   unsigned layout) {
    memset(config, 0, kConfigBytes);
    put32(config, 0x00, vendor | device << 16);
    put32(config, 0x08, class_code << 8);
    config[0x0E] = (unsigned char)layout;
}

void machine_init(MachineText *m) {
    m->text = NULL;
    m->length = m->capacity = 0;
    grow(m, 0);
    m->text[0] = '\0';
}

void machine_free(MachineText *m) {
    free(m->text);
    m->text = NULL;
    m->length = m->capacity = 0;
}

void machine_host_bridge(MachineText *m) {
    unsigned char config[kConfigBytes];
    header(config, 0x8086, 0x29C0, kClassHostBridge, 0);
    dump(m, "00:00.0", config);
}

void machine_card(MachineText *m, const char *bdf, unsigned device, unsigned bar0) {
    unsigned char config[kConfigBytes];
    header(config, CARD_VENDOR, device, kClassDataAcquisition, 0);
    put32(config, 0x10, bar0);
    dump(m, bdf, config);
}

void machine_bridge(MachineText *m, const char *bdf, unsigned secondary) {
    unsigned char config[kConfigBytes];
    header(config, 0x8086, 0x244E, kClassPciBridge, kLayoutPciBridge);
    /* primary bus 0, secondary, subordinate = secondary */
    put32(config, 0x18, secondary << 8 | secondary << 16);
    dump(m, bdf, config);
}

void machine_window_fill(MachineText *m, const char *bdf, unsigned offset, unsigned count,
                         unsigned value) {
    unsigned i;
    append(m, "window %s 0x%x", bdf, offset);
    for (i = 0; i < count; ++i)
        append(m, " %02x", value & 0xFFu);
    append(m, "\n");
}

void machine_window_byte(MachineText *m, const char *bdf, unsigned offset, unsigned value) {
    machine_window_fill(m, bdf, offset, 1, value);
}

void machine_line(MachineText *m, const char *line) { append(m, "%s\n", line); }
