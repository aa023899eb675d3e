#include "toml_tree.h"

#include <algorithm>
#include <tuple>

#define TOML_HEADER_ONLY 1
#define TOML_EXCEPTIONS 0
#define TOML_ENABLE_FORMATTERS 0
#include <toml++/toml.h>

namespace quorel::card_model::toml_tree {

namespace {

Value Convert(const toml::node& node);

Value::Type TypeOf(toml::node_type type) {
    switch (type) {
    case toml::node_type::table: return Value::Type::kTable;
    case toml::node_type::array: return Value::Type::kArray;
    case toml::node_type::string: return Value::Type::kString;
    case toml::node_type::integer: return Value::Type::kInteger;
    case toml::node_type::floating_point: return Value::Type::kFloat;
    case toml::node_type::boolean: return Value::Type::kBoolean;
    default: return Value::Type::kDateTime;
    }
}

// toml++ keeps a table's keys sorted; the reader wants them as written.
void ConvertTable(const toml::table& table, Value* value) {
    std::vector<std::tuple<toml::source_position, const toml::key*, const toml::node*>> members;
    for (auto&& [key, node] : table)
        members.emplace_back(key.source().begin, &key, &node);
    std::sort(members.begin(), members.end(), [](const auto& a, const auto& b) {
        return std::get<0>(a) < std::get<0>(b);
    });
    for (const auto& [at, key, node] : members)
        value->members.push_back(Member{std::string(key->str()), at.line, Convert(*node)});
}

Value Convert(const toml::node& node) {
    Value value;
    value.type = TypeOf(node.type());
    value.line = node.source().begin.line;
    if (const toml::table* table = node.as_table())
        ConvertTable(*table, &value);
    else if (const toml::array* array = node.as_array())
        for (const toml::node& item : *array)
            value.items.push_back(Convert(item));
    else if (const auto* text = node.as_string())
        value.text = text->get();
    else if (const auto* integer = node.as_integer())
        value.integer = integer->get();
    else if (const auto* boolean = node.as_boolean())
        value.boolean = boolean->get();
    return value;
}

}  // namespace

const char* Value::TypeName() const {
    switch (type) {
    case Type::kTable: return "a table";
    case Type::kArray: return "an array";
    case Type::kString: return "a string";
    case Type::kInteger: return "an integer";
    case Type::kFloat: return "a floating-point number";
    case Type::kBoolean: return "a boolean";
    default: return "a date or time";
    }
}

const Value* Value::Find(std::string_view key) const {
    for (const Member& member : members)
        if (member.key == key)
            return &member.value;
    return nullptr;
}

bool Parse(std::string_view text, Value* root, size_t* error_line, std::string* error) {
    if ((*error_line = NonAsciiOutsideStrings(text))) {
        *error = "a character outside ASCII outside a string or a comment, expected names, "
                 "numbers and punctuation in ASCII there";
        return false;
    }
    toml::parse_result result = toml::parse(text, std::string_view());
    if (!result) {
        *error_line = result.error().source().begin.line;
        *error = std::string(result.error().description());
        return false;
    }
    *root = Convert(result.table());
    return true;
}

}  // namespace quorel::card_model::toml_tree
