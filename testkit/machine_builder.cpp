// The C++ face of the machine-text builder (machine_text.c).
#include "machine_text.h"

namespace test_support {

namespace {

constexpr uint16_t kHeaderType = 0x0E;
constexpr uint16_t kBar0 = 0x10;
constexpr uint16_t kBusNumbers = 0x18;
constexpr unsigned kBarSize = 4;

// Takes the text and frees the buffer.
std::string Take(MachineText& text) {
    std::string out(text.text, text.length);
    machine_free(&text);
    return out;
}

}  // namespace

std::string LocationText(unsigned bus, unsigned device, unsigned function) {
    char text[LOCATION_SIZE];
    format_location(text, bus, device, function);
    return text;
}

SimFunction::SimFunction(uint8_t bus, uint8_t device, uint8_t function) {
    function_init(&config_, bus, device, function);
}

SimFunction& SimFunction::Dword(uint16_t offset, uint32_t value) {
    function_dword(&config_, offset, value);
    return *this;
}

SimFunction& SimFunction::Byte(uint16_t offset, uint8_t value) {
    function_byte(&config_, offset, value);
    return *this;
}

SimFunction& SimFunction::Ids(uint16_t vendor, uint16_t device) {
    function_ids(&config_, vendor, device);
    return *this;
}

SimFunction& SimFunction::Class(uint32_t class_code) {
    function_class(&config_, class_code);
    return *this;
}

SimFunction& SimFunction::Header(uint8_t header_type) { return Byte(kHeaderType, header_type); }

SimFunction& SimFunction::Bar(unsigned index, uint32_t value) {
    return Dword(static_cast<uint16_t>(kBar0 + kBarSize * index), value);
}

SimFunction& SimFunction::BusNumbers(uint8_t primary, uint8_t secondary, uint8_t subordinate) {
    return Dword(kBusNumbers, primary | secondary << 8 | subordinate << 16);
}

SimFunction& SimFunction::Bridge(uint8_t primary, uint8_t secondary, uint8_t subordinate) {
    function_bridge(&config_, primary, secondary, subordinate);
    return *this;
}

SimFunction& MachineBuilder::AddBlank(uint8_t bus, uint8_t device, uint8_t function) {
    return functions_.emplace_back(bus, device, function);
}

SimFunction& MachineBuilder::Add(uint8_t bus, uint8_t device, uint8_t function, uint16_t vendor,
                                 uint16_t device_id, uint32_t class_code) {
    return AddBlank(bus, device, function).Ids(vendor, device_id).Class(class_code);
}

SimFunction& MachineBuilder::AddBridge(uint8_t bus, uint8_t device, uint8_t primary,
                                       uint8_t secondary, uint8_t subordinate) {
    return AddBlank(bus, device, 0).Bridge(primary, secondary, subordinate);
}

MachineBuilder& MachineBuilder::Directive(const std::string& line) {
    directives_.push_back(line);
    return *this;
}

std::string MachineBuilder::Text() const {
    MachineText text;
    machine_init(&text);
    for (const SimFunction& f : functions_)
        machine_function(&text, &f.config(), MACHINE_ROWS_XXX);
    for (const std::string& d : directives_)
        machine_line(&text, "%s", d.c_str());
    return Take(text);
}

std::string FunctionText(const std::string& address, uint16_t vendor, uint16_t device,
                         uint32_t bar0, uint32_t bar1) {
    FunctionConfig config;
    function_init_at(&config, address.c_str());
    function_ids(&config, vendor, device);
    function_dword(&config, kBar0, bar0);
    function_dword(&config, kBar0 + kBarSize, bar1);
    MachineText text;
    machine_init(&text);
    machine_function(&text, &config, MACHINE_ROWS_X);
    return Take(text);
}

}  // namespace test_support
