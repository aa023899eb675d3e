// The model's lookups, its problems' text, and reading a model file.
#include "card_model.h"

#include "process_env/process_env.h"
#include "reader_support.h"

namespace quorel::card_model {

namespace {

template <typename Item>
const Item* FindNamed(const std::vector<Item>& items, std::string_view name) {
    for (const Item& item : items)
        if (SameName(item.name, name))
            return &item;
    return nullptr;
}

}  // namespace

std::string_view Field::NameOf(uint8_t value) const {
    for (const auto& [name, number] : values)
        if (number == value)
            return name;
    return {};
}

bool Source::Advances() const {
    return (kind == Kind::kSequence && sequence.size() > 1) || (kind == Kind::kCounter && step != 0);
}

const Field* Register::FindField(std::string_view name) const { return FindNamed(fields, name); }

bool Register::ReadHasSideEffect() const { return read != ReadEffect::kNone || source.Advances(); }

const Register* CardModel::FindRegister(uint8_t index) const {
    for (const Register& reg : registers)
        if (reg.index == index)
            return &reg;
    return nullptr;
}

const Register* CardModel::FindRegister(std::string_view name) const {
    return FindNamed(registers, name);
}

const Command* CardModel::FindCommand(uint8_t byte) const {
    for (const Command& command : commands)
        if (command.byte == byte)
            return &command;
    return nullptr;
}

const Field* CardModel::FindStatusField(std::string_view name) const {
    return FindNamed(status_fields, name);
}

std::string Problem::Text() const {
    return file + (line ? ":" + std::to_string(line) : "") + ": " + message;
}

std::shared_ptr<const CardModel> ReadCardModel(const std::string& path,
                                               std::vector<Problem>* problems) {
    std::string text, why;
    if (!process_env::ReadTextFile(path, &text, &why)) {
        problems->push_back(Problem{path, 0, "cannot read the file: " + why});
        return nullptr;
    }
    const ReadFileFunction read_file = [](const std::string& file, std::string* text, std::string* why) {
        return process_env::ReadTextFile(file, text, why);
    };
    return ParseCardModel(text, path, read_file, problems);
}

}  // namespace quorel::card_model
