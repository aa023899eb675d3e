// What actions and events name, and the actions themselves.
#include "model_reader.h"

namespace quorel::card_model {

namespace {

constexpr std::string_view kStatusName = "csr";
constexpr const char* kActionForms = "reset, set X, clear X, toggle X or write X VALUE";

std::vector<std::string> FieldNames(const std::vector<Field>& fields) {
    std::vector<std::string> names;
    for (const Field& field : fields)
        names.push_back(field.name);
    return names;
}

std::vector<std::string> RegisterNames(const CardModel& model) {
    std::vector<std::string> names;
    for (const Register& reg : model.registers)
        names.push_back(reg.name);
    return names;
}

std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    for (size_t at = text.find_first_not_of(' '); at != std::string_view::npos;
         at = text.find_first_not_of(' ', at)) {
        const size_t end = std::min(text.find(' ', at), text.size());
        words.push_back(text.substr(at, end - at));
        at = end;
    }
    return words;
}

int LowBit(uint8_t mask) {
    int low = 0;
    while (mask && !(mask & (1u << low)))
        ++low;
    return low;
}

// A write's value: a number, or one of the field's named values.
std::optional<uint8_t> WriteValue(std::string_view text, const Target& target, const Field* field,
                                  std::string* why) {
    const int64_t largest = target.mask >> LowBit(target.mask);
    std::optional<int64_t> value = ParseNumber(text);
    std::vector<std::string> names;
    for (size_t i = 0; field && i < field->values.size(); ++i) {
        names.push_back(field->values[i].first);
        if (!value && SameName(names.back(), text))
            value = field->values[i].second;
    }
    if (value && *value <= largest)
        return static_cast<uint8_t>(*value);
    *why = "\"" + std::string(text) + "\" " + (value ? "does not fit " : "is not a value for ") +
           target.text + ", expected 0.." + std::to_string(largest) +
           (names.empty() ? "" : " or one of " + JoinNames(names));
    return std::nullopt;
}

struct Verb {
    std::string_view word;
    Action::Kind kind;
    size_t words;  // with the verb
};
constexpr Verb kVerbs[] = {{"reset", Action::Kind::kReset, 1}, {"set", Action::Kind::kSet, 2},
                           {"clear", Action::Kind::kClear, 2}, {"toggle", Action::Kind::kToggle, 2},
                           {"write", Action::Kind::kWrite, 3}};

const Verb* FindVerb(const std::vector<std::string_view>& words) {
    for (const Verb& verb : kVerbs)
        if (!words.empty() && verb.word == words[0] && verb.words == words.size())
            return &verb;
    return nullptr;
}

std::optional<Action> ParseAction(const std::string& text, size_t line, const CardModel& model,
                                  Problems* problems) {
    const std::vector<std::string_view> words = Words(text);
    const Verb* verb = FindVerb(words);
    const std::string quoted = "action \"" + text + "\"";
    if (!verb) {
        problems->Add(line, quoted + " is not one, expected " + kActionForms);
        return std::nullopt;
    }
    Action action;
    action.kind = verb->kind;
    action.text = text;
    const Field* field = nullptr;
    if (action.kind == Action::Kind::kReset)
        return action;
    std::optional<Target> target = ResolveTarget(words[1], line, model, problems, &field);
    if (!target)
        return std::nullopt;
    action.target = *target;
    if (action.kind != Action::Kind::kWrite)
        return action;
    std::string why;
    std::optional<uint8_t> value = WriteValue(words[2], *target, field, &why);
    if (!value)
        problems->Add(line, quoted + ": " + why);
    action.value = value.value_or(0);
    return value ? std::optional<Action>(action) : std::nullopt;
}

}  // namespace

std::optional<Target> ResolveTarget(std::string_view text, size_t line, const CardModel& model,
                                    Problems* problems, const Field** named_field) {
    Target target;
    target.text = std::string(text);
    const size_t dot = text.find('.');
    const std::string_view owner = text.substr(0, dot);
    const std::vector<Field>* fields = &model.status_fields;
    if (SameName(owner, kStatusName)) {
        target.status = true;
    } else if (const Register* reg = model.FindRegister(owner)) {
        target.index = reg->index;
        fields = &reg->fields;
    } else {
        const std::string which = owner.empty() ? "it is empty" : "there is no register " + std::string(owner);
        problems->Add(line, "\"" + target.text + "\" names no register: " + which +
                                ", expected csr or one of " + JoinNames(RegisterNames(model)));
        return std::nullopt;
    }
    if (dot == std::string_view::npos)
        return target;
    const std::string_view name = text.substr(dot + 1);
    for (const Field& field : *fields) {
        if (SameName(field.name, name)) {
            target.mask = field.Mask();
            target.field = true;
            if (named_field)
                *named_field = &field;
            return target;
        }
    }
    problems->Add(line, "\"" + target.text + "\" names no field: " + std::string(owner) +
                            " has no field " + std::string(name) + ", expected one of " +
                            JoinNames(FieldNames(*fields)));
    return std::nullopt;
}

std::vector<Action> ReadActions(const Table& table, const CardModel& model) {
    std::vector<Action> actions;
    const Value* list = table.Typed("actions", Value::Type::kArray, true);
    for (const Value& item : list ? list->items : kNoItems) {
        if (item.type != Value::Type::kString)
            table.problems().Add(item.line, "'actions' of " + table.what() + " holds " +
                                                item.TypeName() + ", expected strings, each one of " +
                                                kActionForms);
        else if (std::optional<Action> action =
                     ParseAction(item.text, item.line, model, &table.problems()))
            actions.push_back(std::move(*action));
    }
    return actions;
}

}  // namespace quorel::card_model
