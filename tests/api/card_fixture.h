// A fresh library per test: discovery and the card-access globals back to
// their state at load, and a machine of cards for the simulator.
#ifndef QUOREL_TESTS_API_CARD_FIXTURE_H
#define QUOREL_TESTS_API_CARD_FIXTURE_H

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "machine_text.h"

namespace card_test {

// Bus positions of the standard machine. The type-2 card sits first on the
// bus, yet counts after both type-1 cards.
constexpr const char* kType2At = "00:03.0";
constexpr const char* kFirstType1At = "00:05.0";
constexpr const char* kSecondType1At = "00:07.0";
constexpr uint32_t kType2Bar = 0xFEBFF000;
constexpr uint32_t kFirstType1Bar = 0xFD000000;
constexpr uint32_t kSecondType1Bar = 0xFC800008;  // prefetchable: flag bits are masked
constexpr uint32_t kSecondType1Base = 0xFC800000;

class CardAccessTest : public ::testing::Test {
protected:
    CardAccessTest();
    ~CardAccessTest() override;

    // Makes `machine` the one the next open discovers, and frees its text.
    void Use(MachineText& machine);
    // Host bridge, the three standard cards, and nothing else.
    static void AddStandardCards(MachineText& machine);
    void UseStandardMachine();
    // Number of log lines that start with `call` (e.g. "MapPhysToLin(").
    int Calls(const std::string& call) const;

    std::string log_path_;
};

// The byte at `offset` of the window that the single-card operations address.
uint8_t WindowByte(uint32_t offset);

}  // namespace card_test

#endif  // QUOREL_TESTS_API_CARD_FIXTURE_H
