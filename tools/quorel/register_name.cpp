#include "register_name.h"

#include "api/inspect.h"
#include "cli.h"
#include "model_words.h"
#include "text_encoding.h"

namespace commands {

namespace {

namespace card_model = quorel::card_model;

constexpr int kLastRegister = quorel::inspect::kStatusRegister - 1;
constexpr char kRegisterRange[] = "REG must be 0 to 254 (255 is the control/status register)";

std::string Quoted(const std::string& text) { return "'" + cli::Shown(text) + "'"; }

std::string RegisterNames(const card_model::CardModel& model) {
    std::string names;
    for (const card_model::Register& r : model.registers)
        names +=
            (names.empty() ? "" : ", ") + cli::Shown(r.name) + " (" + std::to_string(r.index) + ")";
    return names.empty() ? "it names none" : "its registers: " + names;
}

std::string FieldNames(const RegisterRef& ref) {
    std::string names;
    for (const card_model::Field& f : ref.named->fields)
        names += (names.empty() ? "" : ", ") + cli::Shown(f.name);
    return names.empty() ? "it has no fields" : "its fields: " + names;
}

// The register part of REG.FIELD.
std::string ResolveWhole(const std::string& text, const card_model::CardModel* model,
                         RegisterRef& ref) {
    long long number = 0;
    if (cli::ParseNumber(text, number)) {
        if (number < 0 || number > kLastRegister)
            return kRegisterRange;
        ref.index = static_cast<int>(number);
        ref.named = model ? model->FindRegister(static_cast<uint8_t>(number)) : nullptr;
        return "";
    }
    if (!model)
        return "no register is named " + Quoted(text) +
               ": no card model is in use (give one with --model PATH); else REG is 0 to 254";
    if (text == "csr")
        return "the control/status register is read by `quorel status` and `quorel dump`";
    ref.named = model->FindRegister(text);
    if (!ref.named)
        return "the card model names no register " + Quoted(text) + "; " + RegisterNames(*model);
    ref.index = ref.named->index;
    return "";
}

}  // namespace

std::string IndexFault(const std::string& text) {
    long long number = 0;
    return cli::ParseNumber(text, number) && (number < 0 || number > kLastRegister) ? kRegisterRange
                                                                                    : "";
}

std::string ResolveRegister(const std::string& text, const card_model::CardModel* model,
                            RegisterRef& ref) {
    const size_t dot = text.find('.');
    const std::string fault = ResolveWhole(text.substr(0, dot), model, ref);
    if (!fault.empty() || dot == std::string::npos)
        return fault;
    const std::string field = text.substr(dot + 1);
    if (!ref.named)
        return "register " + std::to_string(ref.index) + " has no field " + Quoted(field) +
               (model ? ": the card model does not name it"
                      : ": no card model is in use (give one with --model PATH)");
    ref.field = ref.named->FindField(field);
    return ref.field
               ? ""
               : RegisterText(ref) + " has no field " + Quoted(field) + "; " + FieldNames(ref);
}

std::string ResolveFieldValue(const std::string& text, const RegisterRef& ref, uint8_t& value) {
    const card_model::Field& field = *ref.field;
    const int largest = field.Mask() >> field.low;
    int number = 0;
    if (cli::ParseInRange(text, 0, largest, number)) {
        value = static_cast<uint8_t>(number);
        return "";
    }
    std::string names;
    for (const auto& [name, named_value] : field.values) {
        if (name == text) {
            value = named_value;
            return "";
        }
        names += ", " + cli::Shown(name);
    }
    return "VALUE for " + RegisterText(ref) + " must be 0 to " + std::to_string(largest) +
           (names.empty() ? "" : " or one of its values' names: " + names.substr(2)) + ", not " +
           Quoted(text);
}

std::string RegisterText(const RegisterRef& ref) {
    const std::string index = "register " + std::to_string(ref.index);
    if (!ref.named)
        return index;
    if (!ref.field)
        return cli::Shown(ref.named->name) + " (" + index + ")";
    return cli::Shown(ref.named->name + "." + ref.field->name) + " (" + index + ", bits " +
           BitsWord(*ref.field) + ")";
}

}  // namespace commands
