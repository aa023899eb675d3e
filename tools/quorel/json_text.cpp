#include "json_text.h"

#include <cstdio>
#include <cstring>

namespace cli {

namespace {

// nlohmann's own escapes of five control characters, and what they stand for.
constexpr char kShortEscapes[] = "b\bf\fn\nr\rt\t";

// A scalar as nlohmann writes it, its short escapes written \u00XX.
std::string ScalarText(const Json& json) {
    const std::string text = json.dump(-1, ' ', false, Json::error_handler_t::replace);
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const char* escape = text[i] == '\\' ? std::strchr(kShortEscapes, text[i + 1]) : nullptr;
        if (!escape || (escape - kShortEscapes) % 2 != 0) {
            out += text[i];
            if (text[i] == '\\')  // an escape of its own: `\\`, `\"`, `\u...`
                out += text[++i];
            continue;
        }
        char unit[8];
        std::snprintf(unit, sizeof(unit), "\\u%04x", escape[1]);
        out += unit;
        ++i;
    }
    return out;
}

}  // namespace

std::string JsonText(const Json& json) {
    if (!json.is_structured())
        return ScalarText(json);
    std::string text = json.is_object() ? "{" : "[";
    const char* separator = "";
    for (const auto& item : json.items()) {
        text += separator;
        if (json.is_object())
            text += ScalarText(item.key()) + ": ";
        text += JsonText(item.value());
        separator = ", ";
    }
    return text + (json.is_object() ? "}" : "]");
}

}  // namespace cli
