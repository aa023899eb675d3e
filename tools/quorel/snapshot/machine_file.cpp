// machine.txt of `quorel snapshot`: a machine file for the stand-in with
// every function the scans could read, as this PC's driver-access library
// answered: its 256 configuration bytes as lspci prints them, a failed read
// as a fail-read line (every time: the replay cannot know whether it would
// have failed only once), a driver that did not initialise as fail-init, a
// card whose window does not map as refuse-map, and, asked for, each
// card's registers as window lines.
#include <cstdint>

#include "api/inspect.h"
#include "cli.h"
#include "quorel.h"
#include "settings/settings.h"
#include "snapshot/files.h"

namespace snapshot {

namespace {

constexpr unsigned kRowBytes = 16;
constexpr unsigned kConfigBytes = 256;
constexpr int kRegisterCount = quorel::inspect::kStatusRegister + 1;  // the status register last
constexpr unsigned kRegisterStride = 4;  // register n is window byte 4n

std::string Row(const uint8_t* bytes, unsigned count) {
    std::string text;
    for (unsigned i = 0; i < count; ++i)
        text += " " + cli::Hex(bytes[i], 2);
    return text;
}

std::string FunctionText(const quorel::inspect::FunctionConfig& f) {
    const std::string address = cli::AddressText({f.bus, f.devfn});
    std::string text = address + " " + cli::Hex(f.bytes[1] << 8 | f.bytes[0], 4) + ":" +
                       cli::Hex(f.bytes[3] << 8 | f.bytes[2], 4) + "\n";
    for (unsigned offset = 0; offset < kConfigBytes; offset += kRowBytes)
        text += cli::Hex(offset, 2) + ":" + Row(f.bytes + offset, kRowBytes) + "\n";
    for (unsigned n = 0; n < kConfigBytes / 4; ++n)
        if (f.failed >> n & 1)
            text += "fail-read " + address + " 0x" + cli::Hex(4 * n, 2) + "\n";
    return text;
}

// The registers 0..254 and the status register, each the first byte of
// its four; the window bytes between them are never read.
std::string WindowText(const std::string& address) {
    uint8_t window[kRegisterCount * kRegisterStride] = {};
    for (int reg = 0; reg < kRegisterCount; ++reg)
        window[reg * kRegisterStride] =
            static_cast<uint8_t>(reg == quorel::inspect::kStatusRegister ? Quorel_sts() : Quorel_in(reg));
    std::string text;
    for (unsigned offset = 0; offset < sizeof(window); offset += kRowBytes)
        text += "window " + address + " 0x" + cli::Hex(offset, 3) + Row(window + offset, kRowBytes) + "\n";
    return text;
}

// Opens each card by position as an application would: a refused mapping
// is kept, and with `registers` the window's contents.
std::string CardsText(bool registers) {
    std::string text;
    for (const quorel::inspect::Card& card : quorel::inspect::Cards()) {
        const std::string address = cli::AddressText(card.function);
        int opened = Quorel_open(card.position);
        if (opened == QUOREL_MAP_FAILED)
            text += "refuse-map " + address + "\n";
        else if (opened == QUOREL_SUCCESS && registers)
            text += WindowText(address);
        Quorel_close();
    }
    return text;
}

}  // namespace

std::string MachineText(const quorel::inspect::ConfigCapture& capture, bool registers) {
    std::string text = "# Written by quorel snapshot: each function's configuration space as the\n"
                       "# driver-access library read it. Replay with " +
                       std::string(quorel::settings::kSimSnapshot) + "=<this folder>.\n";
    if (!capture.driver_opened)
        return text + "fail-init\n";
    for (const quorel::inspect::FunctionConfig& f : capture.functions)
        text += FunctionText(f);
    return text + CardsText(registers);
}

}  // namespace snapshot
