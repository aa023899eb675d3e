#include "fuzz_world.h"

#include <cstdio>
#include <cwchar>
#include <set>

#include "card_facts.h"
#include "machine_text.h"
#include "pci/pci_regs.h"

namespace fuzz {

namespace {

using namespace quorel::pci;
using test_support::MachineBuilder;
using test_support::SimFunction;

constexpr size_t kMaxFunctions = 32;
constexpr unsigned kBusMask = 7;
constexpr uint16_t kOtherVendor = 0x8086;
constexpr uint32_t kFirstWindow = 0xE0000000;
constexpr uint32_t kWindowStep = 0x400000;
constexpr uint8_t kRevision = 0x01;
constexpr uint32_t kAbsentIds[] = {0xFFFFFFFF, 0x00000000, 0x0000FFFF, 0xFFFF0000};
constexpr wchar_t kClassGuid[] = L"{4d36e97d-e325-11ce-bfc1-08002be10318}";
constexpr size_t kPathChars = 200;

enum Kind : uint8_t {
    kOrdinary,
    kType1Card,
    kType2Card,
    kBridge,
    kUnnumberedBridge,
    kLoopBridge,
    kCardBus,
    kUnfollowedBridge,
    kAbsent,
    kBridgeClassOnLayout0,
    kOtherClassOnLayout1,
    kOddLayout,
    kHostBridge,
    kOtherCard,
    kBridgeToRoot,
    kRaw,
};

enum RegistryFlag : uint8_t {
    kEntry = 1,         // the function has an entry at all
    kPresent = 2,       // NT: a Control subkey; 9x: its static key
    kDeviceAlias = 4,   // NT: the location's device number 32 higher
    kOtherBus = 8,      // NT: the location names the next bus
    kNoSubsystem = 16,  // filed under SUBSYS_00000000
    kTwice = 32,        // a second instance or entry for it
    kNoLocation = 64,   // NT: no "LocationInformation"; 9x: not a PCI key
    kShortDesc = 128,   // "DeviceDesc" of two tokens
};

enum BarChoice : uint8_t { kMem32, kPrefetchable, kIo, kZero, kAllOnes, kMem64, kAbove4G, kShared };

class Bytes {
public:
    Bytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t Next() { return at_ < size_ ? data_[at_++] : 0; }
    bool empty() const { return at_ >= size_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

struct FunctionPlan {
    unsigned bus, device, function;
    uint8_t kind, args[3], registry, fail;
    bool multi, first_here;
    uint32_t window;  // the physical base a card's BAR0 would decode
};

unsigned Word(const FunctionConfig& c, unsigned offset) {
    return c.bytes[offset] | c.bytes[offset + 1] << 8;
}

FunctionPlan ReadPlan(Bytes& in, size_t index) {
    FunctionPlan s{};
    s.bus = in.Next() & kBusMask;
    const uint8_t slot = in.Next();
    s.device = slot & 31;
    s.function = slot >> 5;
    const uint8_t kind = in.Next();
    s.kind = kind & 15;
    s.multi = (kind & kHeaderMultiFunction) != 0;
    for (uint8_t& arg : s.args)
        arg = in.Next();
    s.registry = in.Next();
    s.fail = in.Next();
    s.window = kFirstWindow + static_cast<uint32_t>(index) * kWindowStep;
    return s;
}

bool IsCard(const FunctionPlan& s) {
    return s.kind == kType1Card || s.kind == kType2Card || s.kind == kOtherCard;
}

void PutBar(SimFunction& f, const FunctionPlan& s, uint32_t previous_window) {
    static constexpr uint32_t kFlags[] = {0, 0x8, 0x1, 0, 0, 0x4, 0x4, 0};
    const uint8_t choice = s.args[0] & 7;
    uint32_t bar0 = (choice == kShared ? previous_window : s.window) | kFlags[choice];
    if (choice == kZero)
        bar0 = 0;
    if (choice == kAllOnes)
        bar0 = 0xFFFFFFFF;
    f.Bar(0, bar0).Bar(1, choice == kAbove4G ? 1 : 0);  // the upper half of a 64-bit BAR0
}

void PutIdentity(SimFunction& f, uint16_t vendor, uint16_t device, uint32_t class_code, uint8_t layout) {
    f.Ids(vendor, device).Byte(kClassRevision, kRevision).Class(class_code).Header(layout);
    f.Dword(kCommand, 0x0006);  // memory space and bus master enabled
    f.Dword(kSubsystem, static_cast<uint32_t>(device) << 16 | vendor);
    f.Dword(kInterruptLine, 0x010B);  // line 11, pin A
}

void PutBridge(SimFunction& f, uint16_t vendor, uint16_t device, unsigned primary, unsigned secondary,
               unsigned subordinate) {
    PutIdentity(f, vendor, device, 0x060400, 1);
    f.BusNumbers(primary, secondary, subordinate);
}

void PutCard(SimFunction& f, const FunctionPlan& s, uint16_t device, uint32_t previous_window) {
    PutIdentity(f, test_card::kVendorId, device, 0x118000, 0);
    PutBar(f, s, previous_window);
}

void PutFunction(SimFunction& f, const FunctionPlan& s, uint32_t previous_window) {
    const uint8_t* a = s.args;
    const uint16_t id = static_cast<uint16_t>(a[0] << 8 | a[1]);
    switch (s.kind) {
    case kOrdinary: PutIdentity(f, kOtherVendor, id, 0x020000, 0); break;
    case kType1Card: PutCard(f, s, test_card::kDeviceIdType1, previous_window); break;
    case kType2Card: PutCard(f, s, test_card::kDeviceIdType2, previous_window); break;
    case kBridge:
        PutBridge(f, kOtherVendor, 0x244E, a[0], (a[1] & 0x80) ? a[1] : a[1] & kBusMask, a[2]);
        break;
    case kUnnumberedBridge: PutBridge(f, kOtherVendor, 0x244E, 0, 0, 0); break;
    case kLoopBridge: PutBridge(f, kOtherVendor, 0x244E, s.bus, s.bus, s.bus); break;
    case kCardBus: PutIdentity(f, 0x1180, 0x0476, 0x060700, 2); break;
    case kUnfollowedBridge: PutBridge(f, 0x8086, 0x84CA, a[0], a[1], a[2]); break;
    case kAbsent: f.Dword(kVendorId, kAbsentIds[a[0] & 3]).Header(a[1]); break;
    case kBridgeClassOnLayout0: PutIdentity(f, kOtherVendor, id, 0x060400, 0); break;
    case kOtherClassOnLayout1: PutIdentity(f, kOtherVendor, id, 0x020000, 1); break;
    case kOddLayout: PutIdentity(f, kOtherVendor, 0x1111, 0x060400, a[2] & 0x7F); break;
    case kHostBridge: PutIdentity(f, kOtherVendor, 0x29C0, 0x060000, 0); break;
    case kOtherCard: PutCard(f, s, static_cast<uint16_t>(a[1] << 8 | a[2]), previous_window); break;
    case kBridgeToRoot: PutBridge(f, kOtherVendor, 0x244E, s.bus, 0, a[2]); break;
    default:
        PutIdentity(f, static_cast<uint16_t>(a[0] << 8 | a[1]), id, a[2] << 16, a[2] >> 5);
        break;
    }
    if (s.multi)
        f.Header(f.config().bytes[kHeaderType] | kHeaderMultiFunction);
}

void AddDirectives(MachineBuilder& machine, const FunctionPlan& s) {
    const std::string at = test_support::LocationText(s.bus, s.device, s.function);
    char line[64];
    if (s.fail) {
        std::snprintf(line, sizeof(line), "fail-read %s 0x%02x", at.c_str(), s.fail & 0xFC);
        machine.Directive(line + ((s.fail & 3) ? " " + std::to_string(s.fail & 3) : ""));
    }
    if (!s.first_here || !IsCard(s))
        return;
    std::snprintf(line, sizeof(line), "window %s 0x%x %02x", at.c_str(), test_card::kBoardIdOffset,
                  s.args[1]);
    machine.Directive(line);
    if (s.args[2] & 1)
        machine.Directive("refuse-map " + at);
}

// The hardware-ID part of a key, as Windows files the function:
// VEN_vvvv&DEV_dddd&SUBSYS_ssssvvvv&REV_rr.
std::wstring HardwareId(const FunctionConfig& c, bool no_subsystem) {
    const unsigned subsystem_vendor = no_subsystem ? 0 : Word(c, kSubsystem);
    const unsigned subsystem = no_subsystem ? 0 : Word(c, kSubsystem + 2);
    wchar_t id[kPathChars];
    std::swprintf(id, kPathChars, L"VEN_%04X&DEV_%04X&SUBSYS_%04X%04X&REV_%02X", Word(c, kVendorId),
                  Word(c, kVendorId + 2), subsystem, subsystem_vendor, c.bytes[kClassRevision]);
    return id;
}

// A name for the function's instance or entry key, unique per location.
std::wstring KeyName(const FunctionPlan& s, wchar_t tag) {
    return std::wstring(1, tag) + std::to_wstring(s.bus << 8 | s.device << 3 | s.function);
}

std::wstring LocationText(const FunctionPlan& s, bool windows6) {
    const unsigned bus = s.bus + ((s.registry & kOtherBus) ? 1 : 0);
    const unsigned device = s.device + ((s.registry & kDeviceAlias) ? 32 : 0);
    wchar_t text[kPathChars];
    if (windows6)
        std::swprintf(text, kPathChars,
                      L"@System32\\drivers\\pci.sys,#65536;PCI bus %%1, device %%2, "
                      L"function %%3;(%u,%u,%u)",
                      bus, device, s.function);
    else
        std::swprintf(text, kPathChars, L"PCI bus %u, device %u, function %u", bus, device,
                      s.function);
    return text;
}

void AppendNtInstance(RegText& reg, const FunctionPlan& s, const FunctionConfig& c, bool windows6, wchar_t tag) {
    const std::wstring key = L"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\PCI\\" +
                             HardwareId(c, s.registry & kNoSubsystem) + L"\\" + KeyName(s, tag);
    reg.Key(key);
    if (!(s.registry & kNoLocation))
        reg.Text(L"LocationInformation", LocationText(s, windows6));
    const bool short_desc = s.registry & kShortDesc;
    reg.Text(L"DeviceDesc",
             windows6 ? (short_desc ? L"@oem.inf,%desc%" : L"@oem.inf,%desc%;Fuzzed device")
                      : L"Fuzzed device");
    reg.Text(L"ClassGUID", kClassGuid);
    if (s.registry & kPresent)
        reg.Key(key + L"\\Control");
}

void Append9xEntry(RegText& reg, const FunctionPlan& s, const FunctionConfig& c, wchar_t tag) {
    wchar_t instance[kPathChars];
    std::swprintf(instance, kPathChars, L"\\BUS_%02X&DEV_%02X&FUNC_%02X", s.bus, s.device,
                  s.function);
    const std::wstring hardware_key = ((s.registry & kNoLocation) ? L"Root\\" : L"PCI\\") +
                                      HardwareId(c, s.registry & kNoSubsystem) + instance;
    reg.Key(L"HKEY_DYN_DATA\\Config Manager\\Enum\\" + KeyName(s, tag));
    reg.Text(L"HardWareKey", hardware_key);
    if (!(s.registry & kPresent))
        return;
    reg.Key(L"HKEY_LOCAL_MACHINE\\Enum\\" + hardware_key);
    if (!(s.registry & kShortDesc))
        reg.Text(L"DeviceDesc", L"Fuzzed device");
    reg.Text(L"ClassGUID", kClassGuid);
}

void AppendEntries(World& world, const FunctionPlan& s, const FunctionConfig& c) {
    if (!(s.registry & kEntry))
        return;
    const unsigned copies = (s.registry & kTwice) ? 2 : 1;
    for (unsigned i = 0; i < copies; ++i) {
        const wchar_t tag = static_cast<wchar_t>(L'A' + i);
        if (world.windows_major >= 5)
            AppendNtInstance(world.registry, s, c, world.windows_major >= 6, tag);
        else
            Append9xEntry(world.registry, s, c, tag);
    }
}

void ReadSettings(Bytes& in, World& world, bool* fail_init) {
    static constexpr uint32_t kVersions[][2] = {{4, 10}, {5, 1}, {6, 1}, {6, 1}};
    const uint8_t settings = in.Next();
    world.windows_major = kVersions[settings & 3][0];
    world.windows_minor = kVersions[settings & 3][1];
    *fail_init = settings & 4;
    world.open2 = settings & 8;
    world.position = (settings >> 4) & 7;
    world.open = !(settings & 0x80);
    world.failing_registry_call = in.Next();
}

}  // namespace

World MakeWorld(const uint8_t* data, size_t size) {
    Bytes in(data, size);
    World world;
    bool fail_init = false;
    ReadSettings(in, world, &fail_init);
    std::set<unsigned> taken;
    MachineBuilder machine;
    if (fail_init)
        machine.Directive("fail-init");
    uint32_t previous_window = 0;
    for (size_t index = 0; index < kMaxFunctions && !in.empty(); ++index) {
        FunctionPlan s = ReadPlan(in, index);
        s.first_here = taken.insert(s.bus << 8 | s.device << 3 | s.function).second;
        AddDirectives(machine, s);
        if (!s.first_here)
            continue;
        SimFunction& function = machine.AddBlank(s.bus, s.device, s.function);
        PutFunction(function, s, previous_window);
        AppendEntries(world, s, function.config());
        if (IsCard(s))
            previous_window = s.window;
    }
    world.machine = machine.Text();
    return world;
}

}  // namespace fuzz
