#include "fake_sysfs.h"

#include <unistd.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "machine.h"
#include "machine_parser.h"
#include "temp_folder.h"

namespace test_support {

namespace {

namespace fs = std::filesystem;
using quorel::sim::Function;

constexpr unsigned kPlainConfigBytes = 256;
constexpr uint32_t kBar0 = 0x10;
constexpr uint32_t kBarIo = 0x1;
constexpr uint32_t kBarPrefetchable = 0x8;
constexpr uint32_t kIoAddressMask = ~0x3u;
constexpr uint64_t kIoPorts = 0x100;  // what an I/O BAR's line says it decodes
// The kernel's resource flags.
constexpr uint64_t kResourceIo = 0x100;
constexpr uint64_t kResourceMemory = 0x200;
constexpr uint64_t kResourcePrefetch = 0x2000;
constexpr unsigned kEmptyResourceLines = 6;  // BARs 1..5 and the ROM

void WriteBytes(const fs::path& path, const uint8_t* bytes, size_t count) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(count));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

size_t ConfigBytes(const Function& f, ConfigView view) {
    if (view == ConfigView::kUser)
        return kUnprivilegedConfigBytes;
    auto extended = f.config.begin() + kPlainConfigBytes;
    return std::any_of(extended, f.config.end(), [](uint8_t b) { return b != 0; })
               ? f.config.size()
               : kPlainConfigBytes;
}

std::string ResourceLine(uint64_t start, uint64_t length, uint64_t flags) {
    char line[80];
    uint64_t end = length ? start + length - 1 : 0;
    std::snprintf(line, sizeof(line), "0x%016" PRIx64 " 0x%016" PRIx64 " 0x%016" PRIx64 "\n", start,
                  end, flags);
    return line;
}

void WriteResource(const fs::path& path, const Function& f) {
    uint32_t bar0 = f.Dword(kBar0);
    std::string text;
    if (f.MemoryBase() != 0)
        text = ResourceLine(f.MemoryBase(), f.window_size,
                            kResourceMemory | (bar0 & kBarPrefetchable ? kResourcePrefetch : 0));
    else if (bar0 & kBarIo)
        text = ResourceLine(bar0 & kIoAddressMask, kIoPorts, kResourceIo);
    else
        text = ResourceLine(0, 0, 0);
    for (unsigned i = 0; i < kEmptyResourceLines; ++i)
        text += ResourceLine(0, 0, 0);
    WriteBytes(path, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

// The kernel maps from the page holding BAR0's start: a window that starts
// inside a page lies that far into the file.
void WriteWindow(const fs::path& path, const Function& f) {
    const uint64_t into_page = f.MemoryBase() % static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
    { std::ofstream create(path, std::ios::binary); }
    fs::resize_file(path, into_page + f.window_size);
    std::fstream out(path, std::ios::binary | std::ios::in | std::ios::out);
    for (const auto& init : f.window_init) {
        out.seekp(static_cast<std::streamoff>(into_page + init.offset));
        out.write(reinterpret_cast<const char*>(init.bytes.data()),
                  static_cast<std::streamsize>(init.bytes.size()));
    }
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

std::string MakeFakeSysfs(const std::string& machine_text, ConfigView view) {
    std::string error;
    auto machine = quorel::sim::ParseMachine(machine_text, "fake sysfs", &error);
    if (!machine)
        throw std::runtime_error(error);
    const fs::path root = TempPath("sysfs");
    const fs::path devices = root / "bus/pci/devices", hardware = root / "devices/pci0000:00";
    fs::create_directories(devices);
    fs::create_directories(hardware);
    for (const quorel::sim::Address& at : machine->Addresses()) {
        const std::string name = "0000:" + quorel::sim::FormatAddress(at);
        const Function& f = *machine->Find(at);
        fs::create_directory(hardware / name);
        fs::create_directory_symlink("../../../devices/pci0000:00/" + name, devices / name);
        WriteBytes(hardware / name / "config", f.config.data(), ConfigBytes(f, view));
        WriteResource(hardware / name / "resource", f);
        if (f.MemoryBase() != 0 && !f.refuse_map)
            WriteWindow(hardware / name / "resource0", f);
    }
    return root.string();
}

}  // namespace test_support
