// The generated machines and registries of annotation_bench and soak, and
// the plain registry walk that annotation_bench compares the annotation with.
#ifndef QUOREL_BENCH_ANNOTATION_MACHINE_H
#define QUOREL_BENCH_ANNOTATION_MACHINE_H

#include <string>

namespace bench {

// A generated machine: `functions` PCI functions on bus 0, eight to a
// device. The first `cards` of them are cards, each reporting its position
// as its board ID: type-1 cards, except that the last of several is a
// type-2 card. The others are network functions with IDs of their own.
struct Shape {
    int functions;
    int cards = 1;
};

std::string MachineText(const Shape& shape);
// A .reg file (UTF-16LE with BOM, as regedit writes them) with one
// hardware-ID key and instance per function, or the file that removes them.
std::string RegistryText(const Shape& shape, bool removal);

struct RegistryWalk {
    unsigned long calls = 0;     // registry calls made
    unsigned long failures = 0;  // calls that should have succeeded and did not
};
// The registry calls one annotation makes for these functions, in the same
// order, with none of the lookup's work around them.
RegistryWalk WalkInstanceKeys(const Shape& shape);

// The machine file and the registry files of a shape, written to a folder.
struct MachineFiles {
    std::string machine, registry, removal;
};
MachineFiles WriteMachineFiles(const std::string& folder, const Shape& shape);
// Points the stand-in's machine and the native registry at the files (on
// Windows only the machine: the registry is imported with regedit).
void UseMachineFiles(const MachineFiles& files);

// Runs this program for one machine size with the files in place; returns
// its exit status.
int RunChild(const char* self, int functions, const MachineFiles& files);

}  // namespace bench

#endif  // QUOREL_BENCH_ANNOTATION_MACHINE_H
