// The stand-in's machine-file reader on any text; a machine it accepts is
// then used as the driver-access library uses it: every function's
// configuration read, its window mapped and touched at both ends.
#include <string>

#include "fuzz_support.h"
#include "machine_parser.h"

namespace {

using quorel::sim::Address;
using quorel::sim::Function;
using quorel::sim::Machine;

constexpr uint16_t kProbedOffsets[] = {0x00, 0x0E, 0x10, 0x18, 0xFC, 0xFFF, 0x1000};

void Use(Machine& machine) {
    for (const Address& at : machine.Addresses()) {
        uint32_t value = 0;
        for (uint16_t offset : kProbedOffsets)
            machine.Read(at, offset, &value);
        const Function* function = machine.Find(at);
        FUZZ_CHECK(function != nullptr);
        const uint64_t size = function->window_size;
        if (uint8_t* window = machine.Map(size, function->MemoryBase())) {
            window[0] ^= 1;
            window[size - 1] ^= 1;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string error, warning;
    std::unique_ptr<Machine> machine =
        quorel::sim::ParseMachine(std::string_view(reinterpret_cast<const char*>(data), size),
                                  "fuzz.lspci", &error, &warning);
    FUZZ_CHECK(!machine == !error.empty());
    FUZZ_CHECK(machine || error.rfind("fuzz.lspci:", 0) == 0);
    if (machine)
        Use(*machine);
    return 0;
}
