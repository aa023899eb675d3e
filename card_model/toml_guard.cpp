// Keeps from toml++ the texts that its version 3.3 mishandles: asked
// whether a character outside ASCII is whitespace (where a key, a value or
// a line's end is expected), it reaches a point it assumes unreachable for
// most of them (é, Cyrillic, kana, ...). Valid TOML has such characters only
// in strings and comments, so one anywhere else is refused first.
#include "toml_tree.h"

#include <algorithm>
#include <string>

namespace quorel::card_model::toml_tree {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The end of the string starting at `at` (a quote), lines counted; the
// text's end when it does not end. A string on one line ends at its line's
// end too, as far as this check goes (TOML stops there with an error).
size_t SkipString(std::string_view text, size_t at, size_t* line) {
    const char quote = text[at];
    const std::string triple(3, quote);
    const bool multi = text.compare(at, 3, triple) == 0;
    for (at += multi ? 3 : 1; at < text.size(); ++at) {
        const char c = text[at];
        if (c == '\\' && quote == '"' && at + 1 < text.size()) {
            *line += text[++at] == '\n';
        } else if (c == '\n') {
            if (!multi)
                return at;
            ++*line;
        } else if (!multi && c == quote) {
            return at + 1;
        } else if (multi && text.compare(at, 3, triple) == 0) {
            at += 3;
            for (int extra = 0; extra < 2 && at < text.size() && text[at] == quote; ++extra)
                ++at;  // """a""""" ends with the quotes before the last three
            return at;
        }
    }
    return text.size();
}

}  // namespace

size_t NonAsciiOutsideStrings(std::string_view text) {
    size_t line = 1;
    size_t at = text.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0 ? kByteOrderMark.size() : 0;
    while (at < text.size()) {
        const char c = text[at];
        if (c == '#')
            at = std::min(text.find('\n', at), text.size());
        else if (c == '"' || c == '\'')
            at = SkipString(text, at, &line);
        else if (static_cast<unsigned char>(c) >= 0x80)
            return line;
        else
            line += text[at++] == '\n';
    }
    return 0;
}

}  // namespace quorel::card_model::toml_tree
