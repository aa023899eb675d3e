#include "machine_builder.h"

#include <cstdio>

namespace test_support {

namespace {
std::string Hex2(unsigned v) {
    char buf[8];
    std::snprintf(buf, sizeof(buf), "%02x", v & 0xFF);
    return buf;
}
}  // namespace

SimFunction::SimFunction(uint8_t bus, uint8_t device, uint8_t function)
    : bus_(bus), device_(device), function_(function) {}

SimFunction& SimFunction::Dword(uint16_t offset, uint32_t value) {
    for (unsigned i = 0; i < 4; ++i)
        config_[(offset + i) & 0xFF] = static_cast<uint8_t>(value >> (8 * i));
    return *this;
}

SimFunction& SimFunction::Byte(uint16_t offset, uint8_t value) {
    config_[offset & 0xFF] = value;
    return *this;
}

SimFunction& SimFunction::Ids(uint16_t vendor, uint16_t device) {
    return Dword(0x00, vendor | static_cast<uint32_t>(device) << 16);
}

SimFunction& SimFunction::Class(uint32_t class_code) {
    uint32_t revision = config_[0x08];
    return Dword(0x08, (class_code << 8) | revision);
}

SimFunction& SimFunction::Header(uint8_t header_type) { return Byte(0x0E, header_type); }

SimFunction& SimFunction::Bar(unsigned index, uint32_t value) {
    return Dword(static_cast<uint16_t>(0x10 + 4 * index), value);
}

SimFunction& SimFunction::BusNumbers(uint8_t primary, uint8_t secondary, uint8_t subordinate) {
    return Dword(0x18, primary | secondary << 8 | subordinate << 16);
}

std::string SimFunction::Location() const {
    return Hex2(bus_) + ":" + Hex2(device_) + "." + std::to_string(function_);
}

std::string SimFunction::Text() const {
    std::string text = Location() + " test function\n";
    for (unsigned row = 0; row < 256; row += 16) {
        text += Hex2(row) + ":";
        for (unsigned i = 0; i < 16; ++i)
            text += " " + Hex2(config_[row + i]);
        text += "\n";
    }
    return text + "\n";
}

SimFunction& MachineBuilder::Add(uint8_t bus, uint8_t device, uint8_t function, uint16_t vendor,
                                 uint16_t device_id, uint32_t class_code) {
    functions_.emplace_back(bus, device, function);
    return functions_.back().Ids(vendor, device_id).Class(class_code);
}

SimFunction& MachineBuilder::AddBridge(uint8_t bus, uint8_t device, uint8_t primary,
                                       uint8_t secondary, uint8_t subordinate) {
    return Add(bus, device, 0, 0x8086, 0x244e, 0x060400)
        .Header(0x01)
        .BusNumbers(primary, secondary, subordinate);
}

MachineBuilder& MachineBuilder::Directive(const std::string& line) {
    directives_.push_back(line);
    return *this;
}

std::string MachineBuilder::Text() const {
    std::string text;
    for (const SimFunction& f : functions_)
        text += f.Text();
    for (const std::string& d : directives_)
        text += d + "\n";
    return text;
}

}  // namespace test_support
