/*
 * Builds machine files for the stand-in driver-access library: a dump per
 * PCI function as lspci -x/-xxx prints it (a "BB:DD.F" header line, then
 * rows of 16 hex bytes), plus directive lines. Plain C, so that the
 * end-to-end program shares it with the unit tests; C++ tests and the
 * fuzzers also get a fluent face over the same functions (MachineBuilder).
 */
#ifndef QUOREL_TESTKIT_MACHINE_TEXT_H
#define QUOREL_TESTKIT_MACHINE_TEXT_H

#include <stddef.h>

#include "card_facts.h"

#define MACHINE_CONFIG_BYTES 256 /* what lspci -xxx shows of a function */
#define MACHINE_ROWS_X 2         /* rows 00: and 10:, IDs and the first BARs */
#define MACHINE_ROWS_XXX 16
#define LOCATION_SIZE 8          /* "bb:dd.f" and its NUL */

#if defined(__GNUC__)
#define MACHINE_PRINTF(f, a) __attribute__((format(printf, f, a)))
#else
#define MACHINE_PRINTF(f, a)
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* "bb:dd.f", as lspci prints a function's location, into out[LOCATION_SIZE]. */
void format_location(char *out, unsigned bus, unsigned device, unsigned function);

/* One function: where it sits and its configuration bytes, all 0 at first. */
typedef struct FunctionConfig {
    unsigned bus, device, function;
    unsigned char bytes[MACHINE_CONFIG_BYTES];
} FunctionConfig;

void function_init(FunctionConfig *f, unsigned bus, unsigned device, unsigned function);
/* The same at a location given as "bb:dd.f"; a malformed one aborts. */
void function_init_at(FunctionConfig *f, const char *bdf);
/* Little-endian stores at `offset` (taken modulo the 256 bytes). */
void function_byte(FunctionConfig *f, unsigned offset, unsigned value);
void function_dword(FunctionConfig *f, unsigned offset, unsigned long value);
void function_ids(FunctionConfig *f, unsigned vendor, unsigned device);
/* 24-bit class code (base, sub, programming interface); keeps the revision. */
void function_class(FunctionConfig *f, unsigned long class_code);
/* A PCI-to-PCI bridge (header layout 1) with its bus numbers. */
void function_bridge(FunctionConfig *f, unsigned primary, unsigned secondary,
                     unsigned subordinate);

/* A growing text buffer; machine_free releases it (machine_init to reuse). */
typedef struct MachineText {
    char *text;
    size_t length;
    size_t capacity;
} MachineText;

void machine_init(MachineText *m);
void machine_free(MachineText *m);
/* The function's header line and its first `rows` rows of 16 bytes. */
void machine_function(MachineText *m, const FunctionConfig *f, unsigned rows);
/* One more line, printf-style: a directive such as "refuse-map 00:05.0". */
void machine_line(MachineText *m, const char *format, ...) MACHINE_PRINTF(2, 3);

/* A host bridge at 00:00.0, as every PC has. */
void machine_host_bridge(MachineText *m);
/* A card of device ID `device` at `bdf` ("00:05.0") with BAR0 `bar0`. */
void machine_card(MachineText *m, const char *bdf, unsigned device, unsigned bar0);
/* A PCI-to-PCI bridge at `bdf` leading from bus 0 to bus `secondary`. */
void machine_bridge(MachineText *m, const char *bdf, unsigned secondary);
/* Window bytes at `offset`: `count` copies of `value`. */
void machine_window_fill(MachineText *m, const char *bdf, unsigned offset, unsigned count,
                         unsigned value);
/* One window byte: the board-ID register, the status byte, ... */
void machine_window_byte(MachineText *m, const char *bdf, unsigned offset, unsigned value);

#ifdef __cplusplus
}  // extern "C"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace test_support {

std::string LocationText(unsigned bus, unsigned device, unsigned function);  // "bb:dd.f"

// One function, one register at a time, so a test states only what it is about.
class SimFunction {
public:
    SimFunction(uint8_t bus, uint8_t device, uint8_t function);

    SimFunction& Ids(uint16_t vendor, uint16_t device);
    SimFunction& Class(uint32_t class_code);  // 24 bits: base, sub, prog-if
    SimFunction& Header(uint8_t header_type);
    SimFunction& Bar(unsigned index, uint32_t value);
    SimFunction& BusNumbers(uint8_t primary, uint8_t secondary, uint8_t subordinate);
    SimFunction& Bridge(uint8_t primary, uint8_t secondary, uint8_t subordinate);
    SimFunction& Dword(uint16_t offset, uint32_t value);
    SimFunction& Byte(uint16_t offset, uint8_t value);

    const FunctionConfig& config() const { return config_; }

private:
    FunctionConfig config_;
};

class MachineBuilder {
public:
    // An ordinary (layout 0) function with the given IDs and class.
    SimFunction& Add(uint8_t bus, uint8_t device, uint8_t function, uint16_t vendor = 0x8086,
                     uint16_t device_id = 0x1234, uint32_t class_code = 0x020000);
    // A function whose configuration bytes are all 0, to be filled in.
    SimFunction& AddBlank(uint8_t bus, uint8_t device, uint8_t function);
    // A PCI-to-PCI bridge (layout 1, class 0x060400) with bus numbers.
    SimFunction& AddBridge(uint8_t bus, uint8_t device, uint8_t primary, uint8_t secondary,
                           uint8_t subordinate);
    MachineBuilder& Directive(const std::string& line);
    std::string Text() const;  // every function in full (lspci -xxx), then the directives

private:
    std::deque<SimFunction> functions_;
    std::vector<std::string> directives_;
};

// One function in lspci -x form: its header line, then rows 00: and 10:
// holding the IDs, BAR0 and BAR1 (the rest of the function reads as 0).
std::string FunctionText(const std::string& address, uint16_t vendor, uint16_t device,
                         uint32_t bar0, uint32_t bar1 = 0);

}  // namespace test_support
#endif  // __cplusplus

#endif /* QUOREL_TESTKIT_MACHINE_TEXT_H */
