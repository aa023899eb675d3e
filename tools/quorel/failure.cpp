#include "failure.h"

#include <cstdio>

#include "cli.h"
#include "json_text.h"
#include "text_encoding.h"

namespace cli {

namespace {

bool json_output = false;

}  // namespace

void SetJsonOutput(bool json) { json_output = json; }

int Fail(const std::string& reason, const std::string& more) {
    std::fflush(stdout);  // whatever the command printed comes first
    std::fprintf(stderr, "quorel: %s%s\n", Shown(reason).c_str(), more.c_str());
    if (json_output)
        std::printf("%s\n", JsonText(Json{{"ok", false}, {"reason", reason}}).c_str());
    return kExitFailure;
}

}  // namespace cli
