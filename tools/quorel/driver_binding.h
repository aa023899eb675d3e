// The tool's own binding of the driver-access library. On Windows the tool
// binds Ulvexa64.dll / Ulvexa32.dll at the first call (a delay-load
// import), so it starts without it; before any command calls the driver it
// loads the DLL here and checks every function the Quorel DLL imports, so
// that a missing or wrong DLL is reported instead of failing inside a
// call. Natively the driver is linked in and always bound.
#ifndef QUOREL_TOOLS_DRIVER_BINDING_H
#define QUOREL_TOOLS_DRIVER_BINDING_H

#include <cstdint>
#include <string>
#include <vector>

namespace driver_binding {

struct Binding {
    std::string name;                  // "Ulvexa64.dll"; natively what is linked in
    bool loaded = false;
    std::string path;                  // the file loaded
    void* module = nullptr;            // its HMODULE on Windows
    unsigned long error = 0;           // the loader's error when not loaded
    std::string why;                   // why not loaded, for people
    std::vector<std::string> missing;  // functions the loaded DLL does not export

    // True when every driver call can be made; else false with `reason`.
    bool Usable(std::string& reason) const;
};

// The functions the Quorel DLL of this bitness imports from the driver.
std::vector<std::string> ImportedFunctions();
// Loads and checks the driver once per process.
const Binding& Bind();

// What the driver-access library says it simulates or reaches, asked now
// (DescribeUlvexa): "the snapshot DIR", or the sysfs root.
struct Description {
    bool given = false;   // false: not loaded, or it does not say (the maker's DLL)
    std::string what;
    std::string refused;  // why it refused that; empty when it did not
};
Description Describe();

// The card model the window at phys_addr (a card's BAR0) follows, as the
// driver-access library says (UlvexaWindowModel): the model file's path;
// empty when it follows none or the library does not say (the maker's).
std::string WindowModel(uint64_t phys_addr);

}  // namespace driver_binding

#endif  // QUOREL_TOOLS_DRIVER_BINDING_H
