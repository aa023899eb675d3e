// The generated machines and registries of annotation_bench, and the plain
// registry walk it compares the annotation with.
#ifndef QUOREL_BENCH_ANNOTATION_MACHINE_H
#define QUOREL_BENCH_ANNOTATION_MACHINE_H

#include <string>

namespace bench {

// `functions` PCI functions on bus 0, eight to a device; the first is a
// type-1 card, the others network functions with IDs of their own.
std::string MachineText(int functions);
// A .reg file (UTF-16LE with BOM, as regedit writes them) with one
// hardware-ID key and instance per function, or the file that removes them.
std::string RegistryText(int functions, bool removal);

struct RegistryWalk {
    unsigned long calls = 0;     // registry calls made
    unsigned long failures = 0;  // calls that should have succeeded and did not
};
// The registry calls one annotation makes for these functions, in the same
// order, with none of the lookup's work around them.
RegistryWalk WalkInstanceKeys(int functions);

// Runs this program for one machine size with the files in place; returns
// its exit status.
int RunChild(const char* self, int functions, const std::string& machine,
             const std::string& registry, const std::string& removal);

}  // namespace bench

#endif  // QUOREL_BENCH_ANNOTATION_MACHINE_H
