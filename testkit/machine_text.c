#include "machine_text.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum {
    kBytesPerRow = 16,
    kIdsOffset = 0x00,
    kClassOffset = 0x08, /* revision in the low byte, class code above */
    kHeaderTypeOffset = 0x0E,
    kBusNumbersOffset = 0x18,
    kBar0Offset = 0x10,
    kLayoutPciBridge = 1
};

/* Vendor and device IDs of the ordinary functions around the cards. */
#define HOST_BRIDGE_IDS 0x8086u, 0x29C0u
#define PCI_BRIDGE_IDS 0x8086u, 0x244Eu
#define CLASS_HOST_BRIDGE 0x060000ul
#define CLASS_PCI_BRIDGE 0x060400ul
#define CLASS_CARD 0x118000ul /* data acquisition controller */

static void fail(const char *what) {
    fprintf(stderr, "machine_text: %s\n", what);
    abort();
}

void format_location(char *out, unsigned bus, unsigned device, unsigned function) {
    snprintf(out, LOCATION_SIZE, "%02x:%02x.%x", bus & 0xFFu, device & 0x1Fu, function & 7u);
}

void function_init(FunctionConfig *f, unsigned bus, unsigned device, unsigned function) {
    memset(f, 0, sizeof(*f));
    f->bus = bus;
    f->device = device;
    f->function = function;
}

void function_init_at(FunctionConfig *f, const char *bdf) {
    unsigned bus, device, function;
    char end;
    if (sscanf(bdf, "%2x:%2x.%1x%c", &bus, &device, &function, &end) != 3)
        fail("bad location, expected bb:dd.f");
    function_init(f, bus, device, function);
}

void function_byte(FunctionConfig *f, unsigned offset, unsigned value) {
    f->bytes[offset % MACHINE_CONFIG_BYTES] = (unsigned char)value;
}

void function_dword(FunctionConfig *f, unsigned offset, unsigned long value) {
    unsigned i;
    for (i = 0; i < 4; ++i)
        function_byte(f, offset + i, (unsigned)(value >> (8 * i)));
}

void function_ids(FunctionConfig *f, unsigned vendor, unsigned device) {
    function_dword(f, kIdsOffset, vendor | (unsigned long)device << 16);
}

void function_class(FunctionConfig *f, unsigned long class_code) {
    function_dword(f, kClassOffset, class_code << 8 | f->bytes[kClassOffset]);
}

void function_bridge(FunctionConfig *f, unsigned primary, unsigned secondary,
                     unsigned subordinate) {
    function_ids(f, PCI_BRIDGE_IDS);
    function_class(f, CLASS_PCI_BRIDGE);
    function_byte(f, kHeaderTypeOffset, kLayoutPciBridge);
    function_dword(f, kBusNumbersOffset, primary | secondary << 8 | (unsigned long)subordinate << 16);
}

static void grow(MachineText *m, size_t more) {
    if (m->length + more + 1 <= m->capacity)
        return;
    m->capacity = (m->length + more + 1) * 2;
    m->text = (char *)realloc(m->text, m->capacity);
    if (!m->text)
        fail("out of memory");
}

static void append_v(MachineText *m, const char *format, va_list args) {
    va_list again;
    int needed;
    va_copy(again, args);
    needed = vsnprintf(NULL, 0, format, args);
    grow(m, (size_t)needed);
    vsnprintf(m->text + m->length, (size_t)needed + 1, format, again);
    va_end(again);
    m->length += (size_t)needed;
}

static void append(MachineText *m, const char *format, ...) MACHINE_PRINTF(2, 3);
static void append(MachineText *m, const char *format, ...) {
    va_list args;
    va_start(args, format);
    append_v(m, format, args);
    va_end(args);
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

void machine_function(MachineText *m, const FunctionConfig *f, unsigned rows) {
    char location[LOCATION_SIZE];
    unsigned row, i;
    format_location(location, f->bus, f->device, f->function);
    append(m, "%s Function %02x%02x:%02x%02x\n", location, f->bytes[1], f->bytes[0], f->bytes[3],
           f->bytes[2]);
    for (row = 0; row < rows && row * kBytesPerRow < MACHINE_CONFIG_BYTES; ++row) {
        append(m, "%02x:", row * kBytesPerRow);
        for (i = 0; i < kBytesPerRow; ++i)
            append(m, " %02x", f->bytes[row * kBytesPerRow + i]);
        append(m, "\n");
    }
}

void machine_line(MachineText *m, const char *format, ...) {
    va_list args;
    va_start(args, format);
    append_v(m, format, args);
    va_end(args);
    append(m, "\n");
}

void machine_host_bridge(MachineText *m) {
    FunctionConfig f;
    function_init(&f, 0, 0, 0);
    function_ids(&f, HOST_BRIDGE_IDS);
    function_class(&f, CLASS_HOST_BRIDGE);
    machine_function(m, &f, MACHINE_ROWS_XXX);
}

void machine_card(MachineText *m, const char *bdf, unsigned device, unsigned bar0) {
    FunctionConfig f;
    function_init_at(&f, bdf);
    function_ids(&f, CARD_VENDOR, device);
    function_class(&f, CLASS_CARD);
    function_dword(&f, kBar0Offset, bar0);
    machine_function(m, &f, MACHINE_ROWS_XXX);
}

void machine_bridge(MachineText *m, const char *bdf, unsigned secondary) {
    FunctionConfig f;
    function_init_at(&f, bdf);
    function_bridge(&f, 0, secondary, secondary);
    machine_function(m, &f, MACHINE_ROWS_XXX);
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
