#include "reader_support.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace quorel::card_model {

namespace {

constexpr size_t kNamesListed = 12;

std::string Quoted(std::string_view key) { return "'" + std::string(key) + "'"; }

bool IsNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsNameChar(char c) { return IsNameStart(c) || std::isdigit(static_cast<unsigned char>(c)); }

}  // namespace

void Problems::AddIn(const std::string& file, size_t line, std::string message) {
    out_->push_back(Problem{file, line, std::move(message)});
}

void Table::AllowOnly(std::initializer_list<std::string_view> keys) const {
    std::vector<std::string> expected(keys.begin(), keys.end());
    for (const toml_tree::Member& member : value_.members)
        if (std::find(keys.begin(), keys.end(), member.key) == keys.end())
            Add(member.line, "unknown key " + Quoted(member.key) + " in " + what_ +
                                 ", expected one of " + JoinNames(expected));
}

const Value* Table::Typed(std::string_view key, Value::Type type, bool required) const {
    const Value* value = Get(key);
    if (!value && required)
        Add(line(), what_ + " has no " + Quoted(key) + ", which it needs");
    if (!value || value->type == type)
        return value;
    Value wanted;
    wanted.type = type;
    Add(value->line, Quoted(key) + " of " + what_ + " is " + value->TypeName() + ", expected " +
                         wanted.TypeName());
    return nullptr;
}

std::optional<std::string> Table::String(std::string_view key, bool required) const {
    const Value* value = Typed(key, Value::Type::kString, required);
    return value ? std::optional<std::string>(value->text) : std::nullopt;
}

std::optional<int64_t> Table::Integer(std::string_view key, int64_t low, int64_t high,
                                      bool required) const {
    const Value* value = Typed(key, Value::Type::kInteger, required);
    if (!value)
        return std::nullopt;
    if (value->integer >= low && value->integer <= high)
        return value->integer;
    Add(value->line, Quoted(key) + " of " + what_ + " is " + std::to_string(value->integer) +
                         ", expected " + std::to_string(low) + ".." + std::to_string(high));
    return std::nullopt;
}

std::optional<uint8_t> Table::Byte(std::string_view key, bool required) const {
    std::optional<int64_t> value = Integer(key, 0, 0xFF, required);
    return value ? std::optional<uint8_t>(static_cast<uint8_t>(*value)) : std::nullopt;
}

std::optional<bool> Table::Boolean(std::string_view key) const {
    const Value* value = Typed(key, Value::Type::kBoolean, false);
    return value ? std::optional<bool>(value->boolean) : std::nullopt;
}

std::vector<const Value*> Table::Tables(std::string_view key) const {
    std::vector<const Value*> tables;
    const Value* array = Typed(key, Value::Type::kArray, false);
    for (const Value& item : array ? array->items : kNoItems) {
        if (item.type == Value::Type::kTable)
            tables.push_back(&item);
        else
            Add(item.line, Quoted(key) + " of " + what_ + " holds " + item.TypeName() +
                               ", expected tables ([[" + std::string(key) + "]])");
    }
    return tables;
}

std::optional<std::string> Table::NameKey(std::string_view key, bool required) const {
    std::optional<std::string> name = String(key, required);
    if (!name)
        return std::nullopt;
    const std::string problem = NameProblem(*name);
    if (problem.empty())
        return name;
    Add(Get(key)->line, Quoted(key) + " of " + what_ + ": " + problem);
    return std::nullopt;
}

std::string NameProblem(std::string_view text) {
    const std::string quoted = "\"" + std::string(text) + "\"";
    if (text.empty() || !IsNameStart(text[0]) || !std::all_of(text.begin(), text.end(), IsNameChar))
        return quoted + " is not a name, expected letters, digits and '_', not starting with a digit";
    if (SameName(text, "csr"))
        return quoted + " is reserved for the control/status register, expected another name";
    return "";
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::optional<int64_t> ParseNumber(std::string_view text) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string_view digits = hex ? text.substr(2) : text;
    if (digits.empty() || digits.size() > 12)
        return std::nullopt;
    int64_t value = 0;
    for (char c : digits) {
        const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                          : hex && std::isxdigit(static_cast<unsigned char>(c))
                              ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                              : -1;
        if (digit < 0)
            return std::nullopt;
        value = value * (hex ? 16 : 10) + digit;
    }
    return value;
}

std::string Hex(uint8_t byte) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", byte);
    return text;
}

std::string JoinNames(const std::vector<std::string>& names) {
    std::string joined;
    for (size_t i = 0; i < names.size() && i < kNamesListed; ++i)
        joined += (i ? ", " : "") + names[i];
    if (names.size() > kNamesListed)
        joined += ", ...";
    return joined.empty() ? "none" : joined;
}

}  // namespace quorel::card_model
