// The library's version and its banner line.
#include <cstdio>

#include "api/card_state.h"
#include "quorel.h"

namespace {

constexpr int kVersionMajor = 1;
constexpr int kVersionMinor = 1;

}  // namespace

extern "C" int QUOREL_CALL Quorel_LibVersion(int* major, int* minor) {
    if (!major || !minor)
        return quorel::kResultNothing;
    *major = kVersionMajor;
    *minor = kVersionMinor;
    std::printf("Velmar QUOREL DLL V%d.%02d\n", kVersionMajor, kVersionMinor);
    // The application's stdout may be a pipe or file: make the line visible
    // now rather than at its exit.
    std::fflush(stdout);
    return quorel::kResultOk;
}
