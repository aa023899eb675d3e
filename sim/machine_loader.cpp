#include "machine_loader.h"

#include "default_machine.h"
#include "environment.h"
#include "machine_parser.h"

namespace quorel::sim {

std::unique_ptr<Machine> LoadMachine(const std::string& path, std::string* error) {
    if (path.empty())
        return ParseMachine(kDefaultMachineText, kDefaultMachineName, error);
    std::string text, why;
    if (!ReadTextFile(path, &text, &why)) {
        *error = path + ": cannot read the machine file: " + why;
        return nullptr;
    }
    std::string warning;
    std::unique_ptr<Machine> machine = ParseMachine(text, path, error, &warning);
    if (!warning.empty())
        Complain(warning);
    return machine;
}

}  // namespace quorel::sim
