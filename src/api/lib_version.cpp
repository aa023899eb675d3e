// The library's version and its banner line.
#include <cstdio>

#include "quorel.h"

namespace {

constexpr int kVersionMajor = 1;
constexpr int kVersionMinor = 1;

}  // namespace

extern "C" int QUOREL_CALL Quorel_LibVersion(int* major, int* minor) {
    if (!major || !minor)
        return QUOREL_NOTHING_TO_ACT_ON;
    *major = kVersionMajor;
    *minor = kVersionMinor;
    std::printf("Velmar QUOREL DLL V%d.%02d\n", kVersionMajor, kVersionMinor);
    // The application's stdout may be a pipe or file: make the line visible
    // now rather than at its exit.
    std::fflush(stdout);
    return QUOREL_SUCCESS;
}
