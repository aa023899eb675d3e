#include "quiet_stdout.h"

#include <cstdio>
#include <fcntl.h>

#ifdef _WIN32
#include <io.h>
#define dup _dup
#define dup2 _dup2
#define close _close
#define open _open
constexpr char kNullDevice[] = "NUL";
#else
#include <unistd.h>
constexpr char kNullDevice[] = "/dev/null";
#endif

namespace {
constexpr int kStdout = 1;
}

QuietStdout::QuietStdout() : saved_(-1) {
    std::fflush(stdout);
    const int null = open(kNullDevice, O_WRONLY);
    if (null < 0)
        return;
    saved_ = dup(kStdout);
    if (saved_ >= 0)
        dup2(null, kStdout);
    close(null);
}

QuietStdout::~QuietStdout() {
    std::fflush(stdout);
    if (saved_ < 0)
        return;
    dup2(saved_, kStdout);
    close(saved_);
}
