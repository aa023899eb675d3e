// The default machine's first Quorel_open(0) and first Quorel_open2(), each
// with one call failing: InitializeUlvexa, one PciCfgRead, one MapPhysToLin
// or one registry call, every one of them in turn. Whatever fails, the
// open's result is the one documented for the cards discovery still found
// and the driver still maps, the register operations agree with it, each
// open board is the card it names, and no registry handle stays open.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "api/card_state.h"
#include "card_fixture.h"
#include "log_reader.h"
#include "pci/config_access.h"
#include "pci/device_list.h"
#include "native_winapi/controls/fake_registry.h"
#include "quorel.h"
#include "sim_machine.h"
#include "simulator_reset.h"

// Each open here maps 4 MiB windows anew. Under AddressSanitizer a freed
// window stays in its 256 MiB quarantine and each new one lands on fresh
// pages: a small quarantine cuts the sweeps' time by about a third.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=16"; }

namespace card_test {
namespace {

// The default machine's cards (backends/sim/machines/default.lspci).
struct DefaultCard {
    const char* at;
    int board;
    unsigned board_register;  // byte at window offset 24
    unsigned status;          // byte at the control/status offset
};
constexpr DefaultCard kDefaultCards[] = {
    {"00:05.0", 1, 0x08, 0x11}, {"01:00.0", 2, 0x80, 0x22}, {"01:01.0", 3, 0x88, 0x33}};

constexpr int kBoardIdRegister = 6;
constexpr int kScratchRegister = 5;
constexpr int kPattern = 0x5A;

struct Fault {
    std::string machine_line;  // a directive for the machine file, or empty
    std::string refused;       // the card a refuse-map line names
    uint64_t registry_call;    // the registry call that fails, 0: none
};

std::string At(const quorel::DeviceRecord* r) {
    return test_support::LocationText(r->bus->number, r->devfn >> 3, r->devfn & 7);
}

const DefaultCard* CardAt(const std::string& at) {
    for (const DefaultCard& card : kDefaultCards)
        if (at == card.at)
            return &card;
    return nullptr;
}

// The cards of the device list in search order: type 1, then type 2.
std::vector<const quorel::DeviceRecord*> CardsFound() {
    std::vector<const quorel::DeviceRecord*> cards;
    for (uint16_t device : {test_card::kDeviceIdType1, test_card::kDeviceIdType2})
        for (const quorel::DeviceRecord* r = quorel::device_list; r; r = r->next)
            if (r->vendor_id == test_card::kVendorId && r->device_id == device)
                cards.push_back(r);
    return cards;
}

// A window the driver is asked for and gives: memory BAR0 with an address.
bool Maps(const quorel::DeviceRecord* r, const Fault& fault) {
    const uint32_t bar = r->bar[0];
    return (bar & 1) == 0 && (bar & test_card::kBarAddressMask) != 0 && At(r) != fault.refused;
}

class OpenFaultSweep : public CardAccessTest, public ::testing::WithParamInterface<bool> {
protected:
    bool multi() const { return GetParam(); }
    ~OpenFaultSweep() override {
        FreshLibrary();
        fake_registry::Reset();
    }

    static void FreshLibrary() {
        quorel::internal::ResetCardAccess();
        quorel::internal::ResetDiscovery();
        quorel::sim::internal::ForgetMachines();
    }

    // One first open on the default machine and its registry, with the
    // fault; then the checks.
    void OpenWith(const Fault& fault) {
        FreshLibrary();
        // The registry stays loaded from one open to the next: counting on
        // from its calls so far names the open's own nth call.
        fake_registry::FailNthCall(
            fault.registry_call ? fake_registry::Calls() + fault.registry_call : 0);
        const uint64_t calls_before = fake_registry::Calls();
        const std::string path =
            test_support::UseMachine(default_machine_ + fault.machine_line + "\n");
        const int result = multi() ? Quorel_open2() : Quorel_open(0);
        std::remove(path.c_str());
        calls_ = fake_registry::Calls() - calls_before;
        EXPECT_EQ(fake_registry::OpenHandles(), 0);
        EXPECT_EQ(quorel::driver_open, 0);
        if (multi())
            ASSERT_NO_FATAL_FAILURE(CheckBoards(result, fault));
        else
            ASSERT_NO_FATAL_FAILURE(CheckSingleCard(result, fault));
    }

    // First an open without fault: the sweeps take their faults from its
    // driver calls (in the call log) and its registry calls.
    void SetUp() override {
        SCOPED_TRACE("the open without fault");
        log_path_ = test_support::StartSimLog();
        ASSERT_NO_FATAL_FAILURE(OpenWith({}));
        test_support::StopSimLog();
        clean_log_ = test_support::ReadFile(log_path_);
        clean_calls_ = calls_;
    }

    uint64_t calls_ = 0;  // the registry calls of the last open
    std::string clean_log_;     // the call log of the open without fault
    uint64_t clean_calls_ = 0;  // and its registry calls
    std::string default_machine_ =
        test_support::ReadFile(test_support::SourcePath("backends/sim/machines/default.lspci"));

private:
    static void CheckSingleCard(int result, const Fault& fault) {
        const std::vector<const quorel::DeviceRecord*> cards = CardsFound();
        ASSERT_EQ(result, cards.empty() ? 1 : Maps(cards[0], fault) ? 0 : 2);
        if (result != 0) {
            EXPECT_EQ(Quorel_out(kScratchRegister, kPattern), 1);
            EXPECT_EQ(Quorel_in(kScratchRegister), 1);
            EXPECT_EQ(Quorel_sts(), 1);
            return;
        }
        const DefaultCard* card = CardAt(At(cards[0]));
        ASSERT_NE(card, nullptr) << At(cards[0]);
        EXPECT_EQ(Quorel_in(kBoardIdRegister), static_cast<int>(card->board_register));
        EXPECT_EQ(Quorel_sts(), static_cast<int>(card->status));
        EXPECT_EQ(Quorel_out(kScratchRegister, kPattern), 0);
        EXPECT_EQ(Quorel_in(kScratchRegister), kPattern);
    }

    static void CheckBoards(int result, const Fault& fault) {
        std::array<const DefaultCard*, 4> filed{};
        const std::vector<const quorel::DeviceRecord*> cards = CardsFound();
        for (size_t i = 0; i < cards.size() && i < filed.size(); ++i) {
            const DefaultCard* card = CardAt(At(cards[i]));
            ASSERT_NE(card, nullptr) << At(cards[i]);
            if (Maps(cards[i], fault))
                filed[card->board] = card;  // a later card of a board replaces the earlier one
        }
        int ids[4] = {-1, -1, -1, -1};
        ASSERT_EQ(Quorel_getvalidid2(ids), 0);
        bool any = false;
        for (int board = 0; board < 4; ++board) {
            SCOPED_TRACE(board);
            any = any || filed[board];
            EXPECT_EQ(ids[board], filed[board] ? 1 : 0);
            EXPECT_EQ(Quorel_in2(board, kBoardIdRegister),
                      filed[board] ? static_cast<int>(filed[board]->board_register) : 1);
        }
        EXPECT_EQ(result, any ? 0 : 1);
    }
};

TEST_P(OpenFaultSweep, EachDriverCallFailingAlone) {
    std::vector<Fault> faults{{"fail-init", "", 0}};
    for (const std::string& line : test_support::FailReadDirectives(test_support::ConfigReads(clean_log_)))
        faults.push_back({line, "", 0});
    const std::vector<uint64_t> mapped = test_support::MappedAddresses(clean_log_);
    ASSERT_EQ(mapped.size(), multi() ? 3u : 1u);
    for (const quorel::DeviceRecord* r : CardsFound())
        for (uint64_t address : mapped)
            if ((r->bar[0] & test_card::kBarAddressMask) == address)
                faults.push_back({"refuse-map " + At(r), At(r), 0});
    ASSERT_EQ(faults.size(), 1 + test_support::ConfigReads(clean_log_).size() + mapped.size());
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.machine_line);
        EXPECT_NO_FATAL_FAILURE(OpenWith(fault));
    }
}

// The default Windows version and its registry; the annotation's own sweep
// (tests/registry) goes through the other versions' lookups.
TEST_P(OpenFaultSweep, EachRegistryCallFailingAlone) {
    ASSERT_GT(clean_calls_, 10u);
    for (uint64_t n = 1; n <= clean_calls_; ++n) {
        SCOPED_TRACE("registry call " + std::to_string(n));
        EXPECT_NO_FATAL_FAILURE(OpenWith({"", "", n}));
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, OpenFaultSweep, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Open2" : "Open"; });

}  // namespace
}  // namespace card_test
