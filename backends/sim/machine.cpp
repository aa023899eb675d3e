#include "machine.h"

#include <cstring>

#include "hardware.h"
#include "machine_parser.h"
#include "model_window.h"
#include "process_env/process_env.h"
#include "replay_window.h"
#include "shared_machine.h"

namespace quorel::sim {

namespace {

// PCI ignores the two low address bits of a configuration dword access.
constexpr uint16_t kDwordAlignMask = 0xFFFC;

uint32_t Key(const Address& at) {
    return static_cast<uint32_t>(at.bus) << 8 | at.device << 3 | at.function;
}

Address FromKey(uint32_t key) {
    return Address{static_cast<uint8_t>(key >> 8), static_cast<uint8_t>(key >> 3 & kMaxDevice),
                   static_cast<uint8_t>(key & kMaxFunction)};
}

}  // namespace

uint32_t Function::Dword(uint16_t offset) const {
    unsigned at = offset & kDwordAlignMask;
    return static_cast<uint32_t>(config[at]) | static_cast<uint32_t>(config[at + 1]) << 8 |
           static_cast<uint32_t>(config[at + 2]) << 16 | static_cast<uint32_t>(config[at + 3]) << 24;
}

uint64_t Function::MemoryBase() const {
    uint32_t bar0 = Dword(kBar0Offset);
    if (bar0 & kBarIoSpace)
        return 0;
    uint64_t base = bar0 & kBarMemAddressMask;
    if ((bar0 & kBarMemTypeMask) == kBarMemType64)
        base |= static_cast<uint64_t>(Dword(kBar0Offset + sizeof(bar0))) << 32;  // upper half in BAR1
    return base;
}

uint8_t* Function::Window() {
    if (window)
        return window.get();
    // calloc rather than new[]: the pages of a large window stay untouched
    // until used, and the exact size lets a sanitizer catch overruns.
    window.reset(static_cast<uint8_t*>(std::calloc(window_size, 1)));
    if (!window)
        return nullptr;
    for (const WindowBytes& init : window_init)
        std::memcpy(window.get() + init.offset, init.bytes.data(), init.bytes.size());
    return window.get();
}

namespace {

const CardVariant* VariantOf(const Function& function) {
    uint32_t ids = function.Dword(kIdsOffset);
    if (static_cast<uint16_t>(ids) != kCardVendorId)
        return nullptr;
    for (const CardVariant& variant : kCardVariants)
        if (ids >> 16 == variant.device_id)
            return &variant;
    return nullptr;
}

}  // namespace

uint64_t WindowSizeFor(const Function& function) {
    const CardVariant* variant = VariantOf(function);
    return variant ? variant->window_bytes : kWindowOther;
}

bool IsCard(const Function& function) { return VariantOf(function) != nullptr; }

Function& Machine::Add(const Address& at) { return functions_[Key(at)]; }

Function* Machine::Find(const Address& at) {
    auto found = functions_.find(Key(at));
    return found == functions_.end() ? nullptr : &found->second;
}

const Function* Machine::Find(const Address& at) const {
    auto found = functions_.find(Key(at));
    return found == functions_.end() ? nullptr : &found->second;
}

void Machine::AddFailRead(const Address& at, const FailRead& rule) {
    fail_reads_[Key(at)].push_back(rule);
}

bool Machine::ReadFails(const Address& at, uint16_t offset) {
    auto rules = fail_reads_.find(Key(at));
    if (rules == fail_reads_.end())
        return false;
    uint32_t count = ++reads_seen_[Key(at) << 16 | offset];
    for (const FailRead& rule : rules->second) {
        if (rule.offset == offset && (rule.nth == 0 || rule.nth == count))
            return true;
    }
    return false;
}

bool Machine::Read(const Address& at, uint16_t offset, uint32_t* value) {
    if (!ulvexa::CanCarry(at, offset) || ReadFails(at, offset))
        return false;
    const Function* function = Find(at);
    // Nobody claims the cycle: the bus returns all ones.
    *value = function ? function->Dword(offset) : ulvexa::kNobodyAnswers;
    return true;
}

bool Machine::Write(const Address& at, uint16_t offset, uint32_t value) {
    if (!ulvexa::CanCarry(at, offset))
        return false;
    if (Function* function = Find(at)) {
        uint8_t* dword = function->config.data() + (offset & kDwordAlignMask);
        for (unsigned i = 0; i < sizeof(value); ++i)
            dword[i] = static_cast<uint8_t>(value >> (8 * i));
    }
    return true;
}

Function* Machine::Decoding(uint64_t phys_addr) {
    if (phys_addr == 0)
        return nullptr;
    for (auto& entry : functions_)
        if (entry.second.MemoryBase() == phys_addr)
            return &entry.second;
    return nullptr;
}

uint8_t* Machine::Map(uint64_t length, uint64_t phys_addr) {
    for (auto& [key, function] : functions_) {
        if (phys_addr == 0 || function.MemoryBase() != phys_addr)
            continue;
        if (function.refuse_map || length > function.window_size)
            return nullptr;
        if (uint8_t* window = shared ? shared->Window(FromKey(key), function, log_target) : nullptr)
            return window;
        const bool watched = function.model || function.replay;
        return watched ? ModelledWindow(FromKey(key), function) : function.Window();
    }
    return nullptr;
}

uint8_t* Machine::ModelledWindow(const Address& at, Function& function) {
    if (function.modelled_window || function.window)
        return function.modelled_window ? function.modelled_window : function.window.get();
    const std::string location = FormatAddress(at);
    std::string why;
    function.modelled_window = function.replay
                                   ? MapReplayedWindow(function, location, log_target, &why)
                                   : MapModelledWindow(function, location, log_target, &why);
    if (function.modelled_window)
        return function.modelled_window;
    process_env::Complain(location + " stays plain memory: its " +
                          (function.replay ? "replay" : "model") + " cannot be followed: " + why);
    return function.Window();
}

std::vector<Address> Machine::Addresses() const {
    std::vector<Address> all;
    for (const auto& entry : functions_)
        all.push_back(FromKey(entry.first));
    return all;
}

}  // namespace quorel::sim
