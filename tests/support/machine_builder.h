// Builds simulated machines in the dump format the stand-in library reads,
// one function at a time, so a test states only the registers it is about.
#ifndef QUOREL_TESTS_MACHINE_BUILDER_H
#define QUOREL_TESTS_MACHINE_BUILDER_H

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace test_support {

class SimFunction {
public:
    SimFunction(uint8_t bus, uint8_t device, uint8_t function);

    SimFunction& Ids(uint16_t vendor, uint16_t device);
    SimFunction& Class(uint32_t class_code);     // 24 bits: base, sub, prog-if
    SimFunction& Header(uint8_t header_type);
    SimFunction& Bar(unsigned index, uint32_t value);
    SimFunction& BusNumbers(uint8_t primary, uint8_t secondary, uint8_t subordinate);
    SimFunction& Dword(uint16_t offset, uint32_t value);
    SimFunction& Byte(uint16_t offset, uint8_t value);

    std::string Location() const;  // "bb:dd.f"
    std::string Text() const;      // header line and sixteen hex lines

private:
    uint8_t bus_, device_, function_;
    uint8_t config_[256] = {};
};

class MachineBuilder {
public:
    // An ordinary (layout 0) function with the given IDs and class.
    SimFunction& Add(uint8_t bus, uint8_t device, uint8_t function, uint16_t vendor = 0x8086,
                     uint16_t device_id = 0x1234, uint32_t class_code = 0x020000);
    // A PCI-to-PCI bridge (layout 1, class 0x060400) with bus numbers.
    SimFunction& AddBridge(uint8_t bus, uint8_t device, uint8_t primary, uint8_t secondary,
                           uint8_t subordinate);
    MachineBuilder& Directive(const std::string& line);
    std::string Text() const;

private:
    std::deque<SimFunction> functions_;
    std::vector<std::string> directives_;
};

}  // namespace test_support

#endif  // QUOREL_TESTS_MACHINE_BUILDER_H
