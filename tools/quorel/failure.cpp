#include "failure.h"

#include <cstdio>

#include "cli.h"
#include "text_encoding.h"

namespace cli {

namespace {

bool json_output = false;

}  // namespace

void SetJsonOutput(bool json) { json_output = json; }

int Fail(const std::string& reason, const std::string& more) {
    std::fflush(stdout);  // whatever the command printed comes first
    std::fprintf(stderr, "quorel: %s%s\n", Shown(reason).c_str(), more.c_str());
    if (json_output) {
        Json json;
        json.BeginObject().Key("ok").Bool(false).Key("reason").String(reason).EndObject();
        std::printf("%s\n", json.Text().c_str());
    }
    return kExitFailure;
}

}  // namespace cli
