// [[register]] and [csr]: names, indexes, access words, reset values.
#include <utility>

#include "model_reader.h"

namespace quorel::card_model {

namespace {

constexpr std::string_view kMachineReset = "machine";

template <typename Kind>
using Words = std::initializer_list<std::pair<std::string_view, Kind>>;

// The key's word among those allowed; nothing when absent or another.
template <typename Kind>
std::optional<Kind> Word(const Table& table, std::string_view key, Words<Kind> words) {
    std::optional<std::string> text = table.String(key);
    if (!text)
        return std::nullopt;
    std::vector<std::string> expected;
    for (const auto& [word, kind] : words) {
        if (word == *text)
            return kind;
        expected.push_back(std::string(word));
    }
    table.problems().Add(table.Get(key)->line, "'" + std::string(key) + "' of " + table.what() +
                                                   " is \"" + *text + "\", expected one of " +
                                                   JoinNames(expected));
    return std::nullopt;
}

void ReadIndex(const Table& table, Register* reg) {
    const Value* index = table.Typed("index", Value::Type::kInteger, true);
    if (!index)
        return;
    if (index->integer >= 0 && index->integer < kRegisterCount) {
        reg->index = static_cast<uint8_t>(index->integer);
        return;
    }
    std::string message = "index " + std::to_string(index->integer) + " of " + table.what() +
                          " is out of range, expected 0.." + std::to_string(kRegisterCount - 1);
    if (index->integer == kRegisterCount)
        message += " (255 is the control/status register: describe it in [csr])";
    table.problems().Add(index->line, message);
}

void ReadReset(const Table& table, Register* reg) {
    const Value* reset = table.Get("reset");
    if (reset && reset->type == Value::Type::kString) {
        if (reset->text == kMachineReset)
            reg->reset_from_machine = true;
        else
            table.problems().Add(reset->line, "'reset' of " + table.what() + " is \"" + reset->text +
                                                  "\", expected a byte 0..255 or \"machine\"");
        return;
    }
    if (std::optional<uint8_t> byte = table.Byte("reset"))
        reg->reset = *byte;
}

void ReadWords(const Table& table, Register* reg) {
    using A = Access;
    using W = WriteEffect;
    using R = ReadEffect;
    reg->access = Word<A>(table, "access", {{"read-write", A::kReadWrite},
                                            {"read-only", A::kReadOnly},
                                            {"write-only", A::kWriteOnly}})
                      .value_or(A::kReadWrite);
    reg->write = Word<W>(table, "write", {{"modify", W::kModify},
                                          {"oneToClear", W::kOneToClear},
                                          {"oneToSet", W::kOneToSet},
                                          {"oneToToggle", W::kOneToToggle}})
                     .value_or(W::kModify);
    reg->read = Word<R>(table, "read", {{"none", R::kNone}, {"clear", R::kClear}, {"set", R::kSet}})
                    .value_or(R::kNone);
    reg->fill = table.Byte("fill").value_or(0);
}

// Keys that say something the register's other keys make meaningless.
void CheckContradictions(const Table& table, const Register& reg) {
    auto refuse = [&](std::string_view key, const std::string& why) {
        if (const Value* value = table.Get(key))
            table.problems().Add(value->line, "'" + std::string(key) + "' of " + table.what() +
                                                  " contradicts " + why);
    };
    const bool source = reg.source.kind != Source::Kind::kNone;
    if (reg.access == Access::kWriteOnly) {
        if (reg.read != ReadEffect::kNone)
            refuse("read", "access = \"write-only\": its reads return 'fill', expected no read action");
        refuse("source", "access = \"write-only\": its reads return 'fill', expected no source");
    } else {
        refuse("fill", "access = \"" + std::string(reg.access == Access::kReadOnly ? "read-only"
                                                                                   : "read-write") +
                           "\": only a write-only register reads as 'fill'");
    }
    if (reg.access == Access::kReadOnly && reg.write != WriteEffect::kModify)
        refuse("write", "access = \"read-only\": the application's writes are ignored");
    if (source && reg.read != ReadEffect::kNone && reg.access != Access::kWriteOnly)
        refuse("read", "its 'source', which gives every read's value, expected no read action");
    if (source)
        refuse("reset", "its 'source', which gives every read's value (a reset restarts it)");
}

std::optional<Register> ReadRegister(const Value& value, ReadContext* context) {
    const Table unnamed(value, "[[register]]", &context->problems);
    unnamed.AllowOnly({"name", "index", "reset", "access", "write", "read", "fill", "field", "source"});
    const std::optional<std::string> name = unnamed.NameKey("name");
    const Table table(value, name ? "register " + *name : unnamed.what(), &context->problems);
    Register reg;
    reg.line = value.line;
    ReadIndex(table, &reg);
    ReadReset(table, &reg);
    ReadWords(table, &reg);
    reg.fields = ReadFields(table);
    if (const Value* source = table.Get("source"))
        reg.source = ReadSource(*source, table.what(), context);
    CheckContradictions(table, reg);
    if (!name)
        return std::nullopt;
    reg.name = *name;
    return reg;
}

// No two registers at one index or with one name.
void CheckUnique(const std::vector<Register>& registers, Problems* problems) {
    for (size_t i = 0; i < registers.size(); ++i) {
        for (size_t j = 0; j < i; ++j) {
            const Register& a = registers[j];
            const Register& b = registers[i];
            if (SameName(a.name, b.name))
                problems->Add(b.line, "a second register named " + b.name + " (the first at line " +
                                          std::to_string(a.line) + "), expected another name");
            else if (a.index == b.index)
                problems->Add(b.line, "register " + b.name + " has index " + std::to_string(b.index) +
                                          ", which register " + a.name + " (line " +
                                          std::to_string(a.line) + ") has, expected another index");
        }
    }
}

void ReadStatus(const Value& value, ReadContext* context) {
    Table table(value, "[csr]", &context->problems);
    table.AllowOnly({"reset", "field"});
    context->model.status_reset = table.Byte("reset").value_or(0);
    context->model.status_fields = ReadFields(table);
}

}  // namespace

void ReadRegisters(const Table& root, ReadContext* context) {
    for (const Value* value : root.Tables("register"))
        if (std::optional<Register> reg = ReadRegister(*value, context))
            context->model.registers.push_back(std::move(*reg));
    CheckUnique(context->model.registers, &context->problems);
    if (const Value* status = root.Typed("csr", Value::Type::kTable, false))
        ReadStatus(*status, context);
}

}  // namespace quorel::card_model
