#include "annotation_machine.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "platform/windows_api.h"
#include "settings/settings.h"

namespace bench {

namespace {

constexpr unsigned kCardVendor = 0x6A5D, kCardType1 = 0x0101, kCardType2 = 0x494F;
constexpr unsigned kOtherVendor = 0x8086, kFirstOtherDevice = 0x1000;
constexpr unsigned kSubsystem = 0x0001;
constexpr unsigned kRevision = 0x01;
constexpr char kEnumPci[] = "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\PCI\\";
// The card's board-ID register: window offset 0x18, board-ID bit 1 in bit 7,
// bit 0 in bit 3.
constexpr unsigned kBoardIdOffset = 0x18, kBoardIdHigh = 0x80, kBoardIdLow = 0x08;

struct Ids {
    unsigned vendor, device;
};

Ids IdsOf(const Shape& shape, int i) {
    if (i >= shape.cards)
        return {kOtherVendor, kFirstOtherDevice + i};
    return {kCardVendor, shape.cards > 1 && i == shape.cards - 1 ? kCardType2 : kCardType1};
}

std::string Format(const char* format, unsigned a, unsigned b = 0, unsigned c = 0, unsigned d = 0) {
    char text[160];
    std::snprintf(text, sizeof(text), format, a, b, c, d);
    return text;
}

// VEN_xxxx&DEV_xxxx&SUBSYS_<subsystem><subsystem vendor>&REV_xx
std::string HardwareId(Ids ids) {
    return Format("VEN_%04X&DEV_%04X&SUBSYS_%04X%04X&REV_01", ids.vendor, ids.device, kSubsystem,
                  ids.vendor);
}

std::string FunctionText(Ids ids, int i) {
    const unsigned device = i / 8, function = i % 8;
    const unsigned header = function == 0 ? 0x80 : 0x00;  // multi-function devices
    char row0[80];
    std::snprintf(row0, sizeof(row0), "00: %02x %02x %02x %02x 06 00 00 00 01 00 00 02 00 00 %02x 00\n",
                  ids.vendor & 0xFF, ids.vendor >> 8, ids.device & 0xFF, ids.device >> 8, header);
    return Format("00:%02x.%u\n", device, function) + row0 +
           Format("10: 00 00 %02x fd 00 00 00 00 00 00 00 00 00 00 00 00\n", i) +
           Format("20: 00 00 00 00 00 00 00 00 00 00 00 00 %02x %02x %02x 00\n", ids.vendor & 0xFF,
                  ids.vendor >> 8, kSubsystem) +
           "30: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00\n\n";
}

// Card i reports board ID i (0..3).
std::string BoardIdText(int i) {
    const unsigned value = ((i & 2) ? kBoardIdHigh : 0) | ((i & 1) ? kBoardIdLow : 0);
    return Format("window 00:%02x.%u 0x%02x 0x%02x\n", i / 8, i % 8, kBoardIdOffset, value);
}

std::string InstanceText(Ids ids, int i) {
    const std::string key = kEnumPci + HardwareId(ids) + "\\3&11583659&0&" + Format("%02X", i);
    return "[" + key + "]\n" +
           Format("\"LocationInformation\"=\"@System32\\\\drivers\\\\pci.sys,#65536;PCI bus %%1, "
                  "device %%2, function %%3;(0,%u,%u)\"\n",
                  i / 8, i % 8) +
           Format("\"DeviceDesc\"=\"@net.inf,%%desc%%;Generated function %u\"\n", i) +
           "\"ClassGUID\"=\"{4d36e972-e325-11ce-bfc1-08002be10318}\"\n\n[" + key + "\\Control]\n\n";
}
// ASCII to UTF-16LE with a BOM.
std::string Utf16(const std::string& text) {
    std::string bytes = "\xFF\xFE";
    for (char c : text) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

bool Counted(LONG result, RegistryWalk& walk) {
    ++walk.calls;
    if (result != ERROR_SUCCESS)
        ++walk.failures;
    return result == ERROR_SUCCESS;
}

// One function's calls: the hardware-ID key, its instance with the Control
// test and every value, and the enumeration's end.
void WalkOne(Ids ids, RegistryWalk& walk) {
    WCHAR path[260], name[260], sub[260], value[260];
    WCHAR data[261];
    HKEY id, control, instance;
    wsprintfW(path, L"SYSTEM\\CurrentControlSet\\Enum\\PCI\\VEN_%.4X&DEV_%.4X&SUBSYS_%.4X%.4X&REV_%.2X",
              ids.vendor, ids.device, kSubsystem, ids.vendor, kRevision);
    if (!Counted(RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &id), walk))
        return;
    Counted(RegEnumKeyW(id, 0, name, 260), walk);
    wsprintfW(sub, L"%s\\%s\\Control", path, name);
    if (Counted(RegOpenKeyExW(HKEY_LOCAL_MACHINE, sub, 0, KEY_READ, &control), walk))
        Counted(RegCloseKey(control), walk);
    wsprintfW(sub, L"%s\\%s", path, name);
    if (Counted(RegOpenKeyExW(HKEY_LOCAL_MACHINE, sub, 0, KEY_READ, &instance), walk)) {
        DWORD values = 0, max_bytes = 0;
        Counted(RegQueryInfoKeyW(instance, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                 &values, nullptr, &max_bytes, nullptr, nullptr), walk);
        for (DWORD v = 0; v < values; ++v) {
            DWORD name_chars = 260, bytes = sizeof(data) - sizeof(WCHAR), type;
            Counted(RegEnumValueW(instance, v, value, &name_chars, nullptr, &type,
                                  reinterpret_cast<BYTE*>(data), &bytes), walk);
        }
        Counted(RegCloseKey(instance), walk);
    }
    ++walk.calls;  // the enumeration ends with a failing RegEnumKeyW
    RegEnumKeyW(id, 1, name, 260);
    Counted(RegCloseKey(id), walk);
}

}  // namespace

std::string MachineText(const Shape& shape) {
    std::string text;
    for (int i = 0; i < shape.functions; ++i)
        text += FunctionText(IdsOf(shape, i), i);
    for (int i = 0; i < shape.cards; ++i)
        text += BoardIdText(i);
    return text;
}

std::string RegistryText(const Shape& shape, bool removal) {
    std::string text = "Windows Registry Editor Version 5.00\n\n";
    for (int i = 0; i < shape.functions; ++i) {
        const Ids ids = IdsOf(shape, i);
        text += removal ? std::string("[-") + kEnumPci + HardwareId(ids) + "]\n\n" : InstanceText(ids, i);
    }
    return Utf16(text);
}

RegistryWalk WalkInstanceKeys(const Shape& shape) {
    RegistryWalk walk;
    for (int i = 0; i < shape.functions; ++i)
        WalkOne(IdsOf(shape, i), walk);
    return walk;
}

MachineFiles WriteMachineFiles(const std::string& folder, const Shape& shape) {
    const MachineFiles files{folder + "/machine.lspci", folder + "/registry.reg", folder + "/removal.reg"};
    std::ofstream(files.machine, std::ios::binary) << MachineText(shape);
    std::ofstream(files.registry, std::ios::binary) << RegistryText(shape, false);
    std::ofstream(files.removal, std::ios::binary) << RegistryText(shape, true);
    return files;
}

void UseMachineFiles(const MachineFiles& files) {
    using namespace quorel::settings;
#ifdef _WIN32
    SetEnvironmentVariableA(kSimMachine, files.machine.c_str());
#else
    setenv(kSimMachine, files.machine.c_str(), 1);
    setenv(kSimRegistry, files.registry.c_str(), 1);
#endif
}

int RunChild(const char* self, int functions, const MachineFiles& files) {
    const std::string child = "\"" + std::string(self) + "\" --functions " + std::to_string(functions);
    UseMachineFiles(files);
#ifdef _WIN32
    std::system(("regedit /S \"" + files.registry + "\"").c_str());
    const int status = std::system(child.c_str());
    std::system(("regedit /S \"" + files.removal + "\"").c_str());
    return status;
#else
    return std::system(child.c_str());
#endif
}

}  // namespace bench
