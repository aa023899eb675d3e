#include "fuzz_world.h"

#include <array>
#include <cstdio>
#include <cwchar>
#include <set>
#include <vector>

#include "pci/pci_regs.h"

namespace fuzz {

namespace {

using namespace quorel::pci;

constexpr size_t kMaxFunctions = 32;
constexpr unsigned kBusMask = 7;
constexpr unsigned kConfigBytes = 256;
constexpr unsigned kRowBytes = 16;
constexpr uint16_t kCardVendor = 0x6A5D;
constexpr uint16_t kType1 = 0x0101;
constexpr uint16_t kType2 = 0x494F;
constexpr uint16_t kOtherVendor = 0x8086;
constexpr uint32_t kFirstWindow = 0xE0000000;
constexpr uint32_t kWindowStep = 0x400000;
constexpr unsigned kBoardIdOffset = 0x18;
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

using Config = std::array<uint8_t, kConfigBytes>;

void Put(Config& c, unsigned offset, uint32_t value, unsigned bytes) {
    for (unsigned i = 0; i < bytes; ++i)
        c[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

unsigned Word(const Config& c, unsigned offset) { return c[offset] | c[offset + 1] << 8; }

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

void PutBar(Config& c, const FunctionPlan& s, uint32_t previous_window) {
    static constexpr uint32_t kFlags[] = {0, 0x8, 0x1, 0, 0, 0x4, 0x4, 0};
    const uint8_t choice = s.args[0] & 7;
    uint32_t bar0 = (choice == kShared ? previous_window : s.window) | kFlags[choice];
    if (choice == kZero)
        bar0 = 0;
    if (choice == kAllOnes)
        bar0 = 0xFFFFFFFF;
    Put(c, kBar0, bar0, 4);
    Put(c, kBar0 + 4, choice == kAbove4G ? 1 : 0, 4);  // the upper half of a 64-bit BAR0
}

void PutIdentity(Config& c, uint16_t vendor, uint16_t device, uint32_t class_code, uint8_t layout) {
    Put(c, kVendorId, static_cast<uint32_t>(device) << 16 | vendor, 4);
    Put(c, kCommand, 0x0006, 2);  // memory space and bus master enabled
    Put(c, kClassRevision, class_code << 8 | kRevision, 4);
    Put(c, kHeaderType, layout, 1);
    Put(c, kSubsystem, static_cast<uint32_t>(device) << 16 | vendor, 4);
    Put(c, kInterruptLine, 0x010B, 2);  // line 11, pin A
}

void PutBridge(Config& c, uint16_t vendor, uint16_t device, unsigned primary, unsigned secondary,
               unsigned subordinate) {
    PutIdentity(c, vendor, device, 0x060400, 1);
    Put(c, kBusNumbers, primary | secondary << 8 | subordinate << 16, 3);
}

void PutCard(Config& c, const FunctionPlan& s, uint16_t device, uint32_t previous_window) {
    PutIdentity(c, kCardVendor, device, 0x118000, 0);
    PutBar(c, s, previous_window);
}

Config MakeConfig(const FunctionPlan& s, uint32_t previous_window) {
    Config c{};
    const uint8_t* a = s.args;
    const uint16_t id = static_cast<uint16_t>(a[0] << 8 | a[1]);
    switch (s.kind) {
    case kOrdinary: PutIdentity(c, kOtherVendor, id, 0x020000, 0); break;
    case kType1Card: PutCard(c, s, kType1, previous_window); break;
    case kType2Card: PutCard(c, s, kType2, previous_window); break;
    case kBridge:
        PutBridge(c, kOtherVendor, 0x244E, a[0], (a[1] & 0x80) ? a[1] : a[1] & kBusMask, a[2]);
        break;
    case kUnnumberedBridge: PutBridge(c, kOtherVendor, 0x244E, 0, 0, 0); break;
    case kLoopBridge: PutBridge(c, kOtherVendor, 0x244E, s.bus, s.bus, s.bus); break;
    case kCardBus: PutIdentity(c, 0x1180, 0x0476, 0x060700, 2); break;
    case kUnfollowedBridge: PutBridge(c, 0x8086, 0x84CA, a[0], a[1], a[2]); break;
    case kAbsent:
        Put(c, kVendorId, kAbsentIds[a[0] & 3], 4);
        Put(c, kHeaderType, a[1], 1);
        break;
    case kBridgeClassOnLayout0: PutIdentity(c, kOtherVendor, id, 0x060400, 0); break;
    case kOtherClassOnLayout1: PutIdentity(c, kOtherVendor, id, 0x020000, 1); break;
    case kOddLayout: PutIdentity(c, kOtherVendor, 0x1111, 0x060400, a[2] & 0x7F); break;
    case kHostBridge: PutIdentity(c, kOtherVendor, 0x29C0, 0x060000, 0); break;
    case kOtherCard: PutCard(c, s, static_cast<uint16_t>(a[1] << 8 | a[2]), previous_window); break;
    case kBridgeToRoot: PutBridge(c, kOtherVendor, 0x244E, s.bus, 0, a[2]); break;
    default:
        PutIdentity(c, static_cast<uint16_t>(a[0] << 8 | a[1]), id, a[2] << 16, a[2] >> 5);
        break;
    }
    if (s.multi)
        c[kHeaderType] |= kHeaderMultiFunction;
    return c;
}

std::string AddressText(const FunctionPlan& s) {
    char text[16];
    std::snprintf(text, sizeof(text), "%02x:%02x.%x", s.bus, s.device, s.function);
    return text;
}

void AppendFunction(std::string& out, const FunctionPlan& s, const Config& c) {
    out += AddressText(s) + " fuzz\n";
    char row[8];
    for (unsigned offset = 0; offset < kConfigBytes; offset += kRowBytes) {
        std::snprintf(row, sizeof(row), "%02x:", offset);
        out += row;
        for (unsigned i = 0; i < kRowBytes; ++i) {
            std::snprintf(row, sizeof(row), " %02x", c[offset + i]);
            out += row;
        }
        out += '\n';
    }
}

void AppendDirectives(std::string& out, const FunctionPlan& s) {
    char line[64];
    if (s.fail) {
        std::snprintf(line, sizeof(line), "fail-read %s 0x%02x", AddressText(s).c_str(),
                      s.fail & 0xFC);
        out += line;
        out += (s.fail & 3) ? " " + std::to_string(s.fail & 3) + "\n" : "\n";
    }
    if (!s.first_here || !IsCard(s))
        return;
    std::snprintf(line, sizeof(line), "window %s 0x%x %02x\n", AddressText(s).c_str(), kBoardIdOffset,
                  s.args[1]);
    out += line;
    if (s.args[2] & 1)
        out += "refuse-map " + AddressText(s) + "\n";
}

// The hardware-ID part of a key, as Windows files the function:
// VEN_vvvv&DEV_dddd&SUBSYS_ssssvvvv&REV_rr.
std::wstring HardwareId(const Config& c, bool no_subsystem) {
    const unsigned subsystem_vendor = no_subsystem ? 0 : Word(c, kSubsystem);
    const unsigned subsystem = no_subsystem ? 0 : Word(c, kSubsystem + 2);
    wchar_t id[kPathChars];
    std::swprintf(id, kPathChars, L"VEN_%04X&DEV_%04X&SUBSYS_%04X%04X&REV_%02X", Word(c, kVendorId),
                  Word(c, kVendorId + 2), subsystem, subsystem_vendor, c[kClassRevision]);
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

void AppendNtInstance(RegText& reg, const FunctionPlan& s, const Config& c, bool windows6, wchar_t tag) {
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

void Append9xEntry(RegText& reg, const FunctionPlan& s, const Config& c, wchar_t tag) {
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

void AppendEntries(World& world, const FunctionPlan& s, const Config& c) {
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
    std::string directives = fail_init ? "fail-init\n" : "";
    uint32_t previous_window = 0;
    for (size_t index = 0; index < kMaxFunctions && !in.empty(); ++index) {
        FunctionPlan s = ReadPlan(in, index);
        s.first_here = taken.insert(s.bus << 8 | s.device << 3 | s.function).second;
        AppendDirectives(directives, s);
        if (!s.first_here)
            continue;
        const Config config = MakeConfig(s, previous_window);
        AppendFunction(world.machine, s, config);
        AppendEntries(world, s, config);
        if (IsCard(s))
            previous_window = s.window;
    }
    world.machine += directives;
    return world;
}

}  // namespace fuzz
