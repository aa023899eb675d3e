// Finding a DLL the way the Windows loader looks for one by name, and what
// its file says of itself: the machine type in its PE header, its version
// and description resource. Windows builds of the tool only.
#ifndef QUOREL_TOOLS_DLL_FACTS_H
#define QUOREL_TOOLS_DLL_FACTS_H

#include <cstdint>
#include <string>
#include <vector>

namespace dll_facts {

constexpr uint16_t kMachineX86 = 0x014C;  // IMAGE_FILE_MACHINE_I386
constexpr uint16_t kMachineX64 = 0x8664;  // IMAGE_FILE_MACHINE_AMD64

struct DllFile {
    std::string path;         // UTF-8
    uint16_t machine = 0;     // 0: not a PE image (or unreadable)
    std::string version;      // "1.1.0.0" from the fixed version info; "" without one
    std::string description;  // the resource's FileDescription; "" without one
};

// The folders a program's LoadLibrary of a bare name searches, in the
// loader's order (safe search mode, the default): the program's own, the
// system folder, the 16-bit system folder, the Windows folder, the current
// folder, then each PATH entry. Each folder once.
std::vector<std::string> SearchFolders();
// Every copy of `name` in those folders, in that order: the first is the
// one the loader tries first.
std::vector<DllFile> FindOnSearchPath(const std::string& name);
// What the file at `path` says of itself.
DllFile Describe(const std::string& path);
// The machine type of this process ("x64" for the 64-bit tool).
uint16_t ProcessMachine();
// "x64 (64-bit)", "x86 (32-bit)", "not a PE image", "machine 0x01c4".
std::string MachineText(uint16_t machine);
// The full path of a loaded module (an HMODULE), UTF-8.
std::string ModulePath(void* module);

}  // namespace dll_facts

#endif  // QUOREL_TOOLS_DLL_FACTS_H
