// [[register.field]] and [[csr.field]]: names, bits, named values.
#include "model_reader.h"

namespace quorel::card_model {

namespace {

constexpr int64_t kHighestBit = 7;

std::string_view Trim(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

std::optional<int64_t> BitNumber(std::string_view text) {
    std::optional<int64_t> bit = ParseNumber(Trim(text));
    return bit && *bit <= kHighestBit ? bit : std::nullopt;
}

// "N", "H:L" or N: false when it is none of them, or names a bit over 7.
bool ParseBits(const Value& bits, Field* field) {
    std::optional<int64_t> high, low;
    if (bits.type == Value::Type::kInteger) {
        if (bits.integer >= 0 && bits.integer <= kHighestBit)
            high = low = bits.integer;
    } else if (bits.type == Value::Type::kString) {
        const size_t colon = bits.text.find(':');
        high = BitNumber(bits.text.substr(0, colon));
        low = colon == std::string::npos ? high : BitNumber(bits.text.substr(colon + 1));
    }
    if (!high || !low)
        return false;
    field->high = static_cast<uint8_t>(*high);
    field->low = static_cast<uint8_t>(*low);
    return true;
}

// False, with a problem, when the field has no usable bits.
bool ReadBits(const Table& table, Field* field) {
    const Value* bits = table.Get("bits");
    Problems& problems = table.problems();
    if (!bits)
        problems.Add(table.line(), table.what() + " has no 'bits', which it needs (\"N\" or \"H:L\")");
    else if (!ParseBits(*bits, field))
        problems.Add(bits->line, "'bits' of " + table.what() +
                                     " is not a bit 0..7 or a range \"H:L\" of them");
    else if (field->high < field->low)
        problems.Add(bits->line, "'bits' of " + table.what() + " has its high bit " +
                                     std::to_string(field->high) + " below its low bit " +
                                     std::to_string(field->low) + ", expected \"H:L\" with H >= L");
    else
        return true;
    field->high = field->low = 0;
    return false;
}

void ReadValues(const Table& table, Field* field) {
    const Value* values = table.Typed("values", Value::Type::kTable, false);
    if (!values)
        return;
    const int64_t largest = field->Mask() >> field->low;
    Table named(*values, "'values' of " + table.what(), &table.problems());
    for (const toml_tree::Member& member : values->members) {
        const std::string problem = NameProblem(member.key);
        std::optional<int64_t> value = named.Integer(member.key, 0, largest);
        if (!problem.empty())
            table.problems().Add(member.line, named.what() + ": " + problem);
        else if (value)
            field->values.emplace_back(member.key, static_cast<uint8_t>(*value));
    }
}

std::optional<Field> ReadField(const Value& value, const Table& owner, bool* bits_valid) {
    const Table unnamed(value, "a field of " + owner.what(), &owner.problems());
    unnamed.AllowOnly({"name", "bits", "values"});
    const std::optional<std::string> name = unnamed.NameKey("name");
    const Table table(value, name ? "field " + *name + " of " + owner.what() : unnamed.what(),
                      &owner.problems());
    Field field;
    field.line = value.line;
    *bits_valid = ReadBits(table, &field);
    ReadValues(table, &field);
    if (!name)
        return std::nullopt;
    field.name = *name;
    return field;
}

std::string BitsText(const Field& field) {
    return field.high == field.low ? std::to_string(field.low)
                                   : std::to_string(field.high) + ":" + std::to_string(field.low);
}

void CheckUnique(const std::vector<Field>& fields, const std::vector<bool>& bits_valid,
                 const Table& owner) {
    for (size_t i = 0; i < fields.size(); ++i) {
        for (size_t j = 0; j < i; ++j) {
            const Field& a = fields[j];
            const Field& b = fields[i];
            const std::string where = " of " + owner.what() + " (line " + std::to_string(a.line) + ")";
            if (SameName(a.name, b.name))
                owner.problems().Add(b.line, "a second field named " + b.name + " in " +
                                                 owner.what() + ", expected another name");
            else if (bits_valid[i] && bits_valid[j] && (a.Mask() & b.Mask()))
                owner.problems().Add(b.line, "field " + b.name + " (bits " + BitsText(b) +
                                                 ") overlaps field " + a.name + " (bits " +
                                                 BitsText(a) + ")" + where);
        }
    }
}

}  // namespace

std::vector<Field> ReadFields(const Table& owner) {
    std::vector<Field> fields;
    std::vector<bool> bits_valid;
    for (const Value* value : owner.Tables("field")) {
        bool valid = false;
        if (std::optional<Field> field = ReadField(*value, owner, &valid)) {
            fields.push_back(std::move(*field));
            bits_valid.push_back(valid);
        }
    }
    CheckUnique(fields, bits_valid, owner);
    return fields;
}

}  // namespace quorel::card_model
