// The PC that the stand-in driver-access library simulates: configuration
// space for each PCI function present, and behind each function's memory
// BAR0 a register window. The windows are plain memory: a store stays until
// it is overwritten, nothing on the "card" reacts to it.
#ifndef QUOREL_SIM_MACHINE_H
#define QUOREL_SIM_MACHINE_H

#include <array>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ulvexa.h"

namespace quorel::card_model {
struct CardModel;
}

namespace quorel::sim {

class SharedMachine;
struct ReplayedCard;  // replay_window.h

// The card's windows are sized from its IDs (hardware.h). Any other
// function with a memory BAR0 gets a page, enough to poke at.
constexpr uint64_t kWindowOther = 0x1000;

// Extended configuration space as lspci -xxxx shows it (the contract's
// kConfigSpaceSize); a plain PCI function only has the first 256 bytes and
// reads 0 above them here.
using ulvexa::Address;
using ulvexa::kConfigSpaceSize;
using ulvexa::kMaxDevice;
using ulvexa::kMaxFunction;

// A failing configuration read: every read at that offset, or only the
// nth one (counted from 1 since the machine was loaded). The function need
// not be present: the driver's read can fail at any address.
struct FailRead {
    uint16_t offset;
    uint32_t nth;  // 0: every read
};

// Initial bytes of a register window, from offset on.
struct WindowBytes {
    uint32_t offset;
    std::vector<uint8_t> bytes;
};

struct FreeDeleter {
    void operator()(uint8_t* memory) const { std::free(memory); }
};

struct Function {
    std::array<uint8_t, kConfigSpaceSize> config{};
    uint64_t window_size = kWindowOther;  // fixed from the IDs at load
    std::vector<WindowBytes> window_init;
    bool refuse_map = false;
    // The card model its window follows: the path as the machine file's
    // directive or QUOREL_SIM_MODEL gave it, resolved; empty: none.
    std::string model_path;
    // Loaded from model_path; null: the window is plain memory (no model,
    // or one that was refused).
    std::shared_ptr<const card_model::CardModel> model;
    // What a trace recorded of this card (replay_loader.h); null: no replay.
    std::shared_ptr<const ReplayedCard> replay;
    // Made at the first mapping; lives as long as the machine, which the
    // simulator never destroys since its caller never unmaps.
    std::unique_ptr<uint8_t, FreeDeleter> window;
    // The window instead, when it follows a model (model_window.h) or
    // replays a trace (replay_window.h): pages never freed.
    uint8_t* modelled_window = nullptr;

    uint32_t Dword(uint16_t offset) const;
    // The base address BAR0 decodes, 0 when BAR0 is not a memory BAR.
    uint64_t MemoryBase() const;
    // The window with its initial bytes, null when it cannot be allocated.
    uint8_t* Window();
};

// Window size by vendor and device ID, read from the configuration bytes.
uint64_t WindowSizeFor(const Function& function);
// Whether the function is one of the card's variants, by its IDs.
bool IsCard(const Function& function);

class Machine {
public:
    // InitializeUlvexa fails on this machine (a fail-init line, or a
    // machine file that was refused).
    bool fail_init = false;
    // Where modelled cards log their accesses: the call log's target.
    std::string log_target;
    // The windows in memory shared with other processes (shared_machine.h);
    // null: this process's own.
    std::shared_ptr<SharedMachine> shared;

    Function& Add(const Address& at);
    Function* Find(const Address& at);
    const Function* Find(const Address& at) const;
    void AddFailRead(const Address& at, const FailRead& rule);

    // The driver's configuration accesses, with the driver already open.
    // Reads of an absent function succeed with all ones; writes to it are
    // dropped, as on a real bus where nobody claims the cycle.
    bool Read(const Address& at, uint16_t offset, uint32_t* value);
    bool Write(const Address& at, uint16_t offset, uint32_t value);
    // The window of the function whose BAR0 decodes phys_addr, or null.
    uint8_t* Map(uint64_t length, uint64_t phys_addr);
    // The function whose BAR0 decodes phys_addr, or null.
    Function* Decoding(uint64_t phys_addr);

    // All functions in scan order: bus, then device and function.
    std::vector<Address> Addresses() const;

private:
    // Counts the read and tells whether a fail-read rule hits it.
    bool ReadFails(const Address& at, uint16_t offset);
    // The window of a function that follows a model or replays a trace;
    // plain memory, said once, when its pages cannot be watched.
    uint8_t* ModelledWindow(const Address& at, Function& function);

    std::map<uint32_t, Function> functions_;                // by location, so in scan order
    std::map<uint32_t, std::vector<FailRead>> fail_reads_;  // by location
    std::map<uint32_t, uint32_t> reads_seen_;               // by location and offset
};

}  // namespace quorel::sim

#endif  // QUOREL_SIM_MACHINE_H
