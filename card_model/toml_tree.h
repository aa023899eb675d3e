// A TOML document as plain values, each with the line it starts on, so
// that the model reader needs none of toml++'s types: toml++ is slow to
// compile and only toml_tree.cpp includes it.
#ifndef QUOREL_CARD_MODEL_TOML_TREE_H
#define QUOREL_CARD_MODEL_TOML_TREE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorel::card_model::toml_tree {

struct Member;

struct Value {
    enum class Type { kTable, kArray, kString, kInteger, kFloat, kBoolean, kDateTime };
    Type type = Type::kTable;
    size_t line = 0;
    std::string text;             // kString
    int64_t integer = 0;          // kInteger
    bool boolean = false;         // kBoolean
    std::vector<Member> members;  // kTable, in the file's order
    std::vector<Value> items;     // kArray

    // For messages: "a string", "an integer", "a table", ...
    const char* TypeName() const;
    // The member's value, or null.
    const Value* Find(std::string_view key) const;
};

struct Member {
    std::string key;
    size_t line = 0;
    Value value;
};

// The document's root table; false with the syntax error's line and what
// it says when the text is not TOML.
bool Parse(std::string_view text, Value* root, size_t* error_line, std::string* error);

}  // namespace quorel::card_model::toml_tree

#endif  // QUOREL_CARD_MODEL_TOML_TREE_H
