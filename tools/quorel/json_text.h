// The tool's JSON: documents are built as nlohmann::ordered_json (members
// in the order they are added) and printed by JsonText in the tool's one
// form, `{"a": 1, "b": [2, 3]}` on one line.
#ifndef QUOREL_TOOLS_JSON_TEXT_H
#define QUOREL_TOOLS_JSON_TEXT_H

#include <string>

#include <nlohmann/json.hpp>

namespace cli {

using Json = nlohmann::ordered_json;

// The document on one line: ", " between members and elements, ": " after
// a key. Strings come out as valid UTF-8 whatever they held (a byte that
// is not becomes U+FFFD), every control character as \u00XX.
std::string JsonText(const Json& json);

}  // namespace cli

#endif  // QUOREL_TOOLS_JSON_TEXT_H
