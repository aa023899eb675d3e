// What the model reader's parts share: the problems found so far, and
// reading a TOML table's keys with their types and ranges, each mistake a
// problem at its line.
#ifndef QUOREL_CARD_MODEL_READER_SUPPORT_H
#define QUOREL_CARD_MODEL_READER_SUPPORT_H

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "card_model.h"
#include "toml_tree.h"

namespace quorel::card_model {

using toml_tree::Value;
// What an absent array holds.
inline const std::vector<Value> kNoItems;

class Problems {
public:
    Problems(std::string file, std::vector<Problem>* out) : file_(std::move(file)), out_(out) {}
    void Add(size_t line, std::string message) { AddIn(file_, line, std::move(message)); }
    void AddIn(const std::string& file, size_t line, std::string message);
    size_t count() const { return out_->size() - before_; }
    const std::string& file() const { return file_; }

private:
    std::string file_;
    std::vector<Problem>* out_;
    size_t before_ = out_->size();
};

// A table of the file and what it is called in messages ("[[register]]
// CTRL", "[csr]"), read key by key.
class Table {
public:
    Table(const Value& value, std::string what, Problems* problems)
        : value_(value), what_(std::move(what)), problems_(problems) {}
    // A problem for each key not among these.
    void AllowOnly(std::initializer_list<std::string_view> keys) const;
    const Value* Get(std::string_view key) const { return value_.Find(key); }
    // Each: nothing (and a problem when it is there with another type, or
    // missing and required).
    const Value* Typed(std::string_view key, Value::Type type, bool required) const;
    std::optional<std::string> String(std::string_view key, bool required = false) const;
    std::optional<int64_t> Integer(std::string_view key, int64_t low, int64_t high,
                                   bool required = false) const;
    std::optional<uint8_t> Byte(std::string_view key, bool required = false) const;
    std::optional<bool> Boolean(std::string_view key) const;
    // An array of tables ([[name]]), each item a table; empty when absent.
    std::vector<const Value*> Tables(std::string_view key) const;
    // A name (Name's rules): nothing, with a problem, when it is not one.
    std::optional<std::string> NameKey(std::string_view key, bool required = true) const;

    size_t line() const { return value_.line; }
    const std::string& what() const { return what_; }
    Problems& problems() const { return *problems_; }

private:
    void Add(size_t line, const std::string& message) const { problems_->Add(line, message); }
    const Value& value_;
    std::string what_;
    Problems* problems_;
};

// Why the text is not a name (letters, digits and '_', not starting with a
// digit; "csr" is the control/status register's), or empty.
std::string NameProblem(std::string_view text);
bool SameName(std::string_view a, std::string_view b);  // ignoring case
// A number as the sequence files and actions write it: decimal or 0x hex.
std::optional<int64_t> ParseNumber(std::string_view text);
std::string Hex(uint8_t byte);  // "0x0C"
// "a, b, c" (at most the first twelve, then "...").
std::string JoinNames(const std::vector<std::string>& names);

}  // namespace quorel::card_model

#endif  // QUOREL_CARD_MODEL_READER_SUPPORT_H
