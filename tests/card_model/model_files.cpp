#include "model_files.h"

#include <map>

namespace quorel::card_model {

bool ReadFakeFile(const std::string& path, std::string* text, std::string* why) {
    static const std::map<std::string, std::string> files = {
        {"seq.txt", "# three\n1\n0x02\n\n3  # last\n"},
        {"over.txt", "1\n2\n300\n"},
        {"empty.txt", "# nothing\n"},
    };
    const auto file = files.find(path);
    if (file == files.end()) {
        *why = "no such file";
        return false;
    }
    *text = file->second;
    return true;
}

::testing::AssertionResult InOrder(const std::vector<std::string>& log,
                                   const std::vector<std::string>& expected) {
    size_t at = 0;
    for (const std::string& part : expected) {
        while (at < log.size() && log[at].find(part) == std::string::npos)
            ++at;
        if (at++ == log.size()) {
            std::string lines;
            for (const std::string& line : log)
                lines += "\n  " + line;
            return ::testing::AssertionFailure() << "no \"" << part << "\" in order in the log:" << lines;
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace quorel::card_model
