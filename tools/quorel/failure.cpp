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

int Fail(const std::string& reason, const std::string& more) { return Fail(reason, more, Json::object()); }

int Fail(const std::string& reason, const std::string& more, const Json& members) {
    std::fflush(stdout);  // whatever the command printed comes first
    std::fprintf(stderr, "quorel: %s%s\n", Shown(reason).c_str(), more.c_str());
    Json document{{"ok", false}, {"reason", reason}};
    document.update(members);
    if (json_output)
        std::printf("%s\n", JsonText(document).c_str());
    return kExitFailure;
}

}  // namespace cli
