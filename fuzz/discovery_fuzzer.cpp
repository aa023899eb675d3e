// The whole road of a first open: discovery over a simulated PC and the
// registry annotation over its registry, both made from the input (see
// fuzz_world.h), then Quorel_open and, if asked, Quorel_open2 with register
// accesses on whatever they opened; or, as the input asks, discovery and
// two annotations alone. The library is put back to its state at
// load after each input. A scan that does not end shows as a timeout.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>
#include <set>
#include <string>

#include "api/card_state.h"
#include "fuzz_support.h"
#include "fuzz_world.h"
#include "pci/config_access.h"
#include "pci/device_list.h"
#include "native_winapi/controls/fake_registry.h"
#include "native_winapi/controls/fake_windows.h"
#include "quorel.h"
#include "registry/annotate.h"
#include "settings/settings.h"
#include "simulator_reset.h"

namespace {

constexpr int kBoardIdRegister = 6;
constexpr int kScratchRegister = 5;
constexpr int kPattern = 0xA5;
constexpr size_t kMaxRecords = 256 * 255;  // every devfn probed of every bus

// The machine file lives in memory: no file is left behind, whatever happens.
int MachineFile() {
    static const int fd = [] {
        const int made = memfd_create("quorel-fuzz-machine", 0);
        FUZZ_CHECK(made >= 0);
        setenv(quorel::settings::kSimMachine, ("/proc/self/fd/" + std::to_string(made)).c_str(), 1);
        unsetenv(quorel::settings::kSimLog);
        return made;
    }();
    return fd;
}

void UseMachine(const std::string& text) {
    const int fd = MachineFile();
    FUZZ_CHECK(ftruncate(fd, 0) == 0);
    FUZZ_CHECK(pwrite(fd, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size()));
}

// Back to the state at load, everything the input made freed: what is
// still allocated after an input is then a leak.
void ReleaseAll() {
    quorel::internal::ResetCardAccess();
    quorel::internal::ResetDiscovery();
    quorel::sim::internal::ForgetMachines();
    fake_registry::Clear();
}

void UseWorld(const fuzz::World& world) {
    UseMachine(world.machine);
    fake_windows::SetVersion(world.windows_major, world.windows_minor);
    FUZZ_CHECK(fuzz::LoadRegistry(world.registry));
    fake_registry::FailNthCall(world.failing_registry_call);
}

// Each bus number is scanned once, however the bridges point.
void CheckTree(const quorel::BusNode* node, std::set<unsigned>& numbers) {
    FUZZ_CHECK(numbers.insert(node->number).second);
    for (const quorel::BusNode* child = node->children; child; child = child->next) {
        FUZZ_CHECK(child->parent == node);
        CheckTree(child, numbers);
    }
}

void CheckDiscovery() {
    FUZZ_CHECK(quorel::discovery_done == 1);
    FUZZ_CHECK(quorel::driver_open == 0);
    std::set<unsigned> numbers;
    CheckTree(&quorel::root_bus, numbers);
    size_t records = 0;
    for (const quorel::DeviceRecord* r = quorel::device_list; r; r = r->next) {
        FUZZ_CHECK(++records <= kMaxRecords);
        FUZZ_CHECK(numbers.count(r->bus->number) == 1);
    }
}

// The single-card operations agree with what the open returned.
void CheckSingleCard(int result) {
    FUZZ_CHECK(result == 0 || result == 1 || result == 2);
    if (result != 0) {
        FUZZ_CHECK(Quorel_out(kScratchRegister, kPattern) == (quorel::RegisterWindow ? 0 : 1));
        return;
    }
    FUZZ_CHECK(quorel::RegisterWindow != nullptr && quorel::SelectedDevice != nullptr);
    FUZZ_CHECK(Quorel_out(kScratchRegister, kPattern) == 0);
    FUZZ_CHECK(Quorel_in(kScratchRegister) == kPattern);
    Quorel_sts();
}

// Each filed board's window reports its own board ID.
void CheckBoards(int result) {
    FUZZ_CHECK(result == 0 || result == 1);
    int ids[4] = {};
    FUZZ_CHECK(Quorel_getvalidid2(ids) == 0);
    bool any = false;
    for (int board = 0; board < 4; ++board) {
        any = any || ids[board];
        if (!ids[board]) {
            FUZZ_CHECK(Quorel_in2(board, kBoardIdRegister) == 1);
            continue;
        }
        const int id = Quorel_in2(board, kBoardIdRegister);
        FUZZ_CHECK(((id & 0x80) ? 2 : 0) + ((id & 0x08) ? 1 : 0) == board);
    }
    FUZZ_CHECK(any == (result == 0));
}

void DiscoverAndAnnotate() {
    quorel::StartDiscovery();
    CheckDiscovery();
    quorel::AnnotateFromRegistry();
    quorel::AnnotateFromRegistry();  // as a second open does, over the same records
}

void OpenCards(const fuzz::World& world) {
    CheckSingleCard(Quorel_open(world.position));
    CheckDiscovery();
    if (world.open2)
        CheckBoards(Quorel_open2());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fuzz::World world = fuzz::MakeWorld(data, size);
    UseWorld(world);
    if (world.open)
        OpenCards(world);
    else
        DiscoverAndAnnotate();
    FUZZ_CHECK(fake_registry::OpenHandles() == 0);
    Quorel_close2();
    ReleaseAll();
    return 0;
}
