#include "machine_text.h"

#include <cstdio>

namespace sim_test {

namespace {

void PutDword(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

std::string FunctionText(const std::string& address, uint16_t vendor, uint16_t device,
                         uint32_t bar0, uint32_t bar1) {
    uint8_t config[32] = {};
    PutDword(config, static_cast<uint32_t>(device) << 16 | vendor);
    PutDword(config + 0x10, bar0);
    PutDword(config + 0x14, bar1);
    std::string text = address + " Test function\n";
    for (unsigned row = 0; row < sizeof(config); row += 16) {
        char line[8];
        std::snprintf(line, sizeof(line), "%02x:", row);
        text += line;
        for (unsigned i = 0; i < 16; ++i) {
            std::snprintf(line, sizeof(line), " %02x", config[row + i]);
            text += line;
        }
        text += "\n";
    }
    return text;
}

}  // namespace sim_test
