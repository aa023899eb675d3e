#include "model_text.h"

#include "cli.h"
#include "text_encoding.h"

namespace commands {

namespace {

namespace card_model = quorel::card_model;

std::string SetText(const std::optional<bool>& set) {
    return set ? (*set ? "1" : "0") : "not read";
}

cli::Json SetJson(const std::optional<bool>& set) {
    return set ? cli::Json(*set) : cli::Json(nullptr);
}

}  // namespace

std::optional<bool> TargetSet(const card_model::Target& target, uint8_t status,
                              const RegisterValues& values) {
    const std::optional<uint8_t> byte = target.status ? status : values(target.index);
    if (!byte)
        return std::nullopt;
    return (*byte & target.mask) != 0;
}

std::string ModelTitle(const card_model::CardModel& model) {
    const std::string file = cli::Shown(model.file);
    return model.name.empty() ? file : cli::Shown(model.name) + " (" + file + ")";
}

std::string FieldValueText(const card_model::Field& field, uint8_t value) {
    const std::string_view name = field.NameOf(value);
    return std::to_string(value) + (name.empty() ? "" : " (" + cli::Shown(std::string(name)) + ")");
}

std::string FieldsText(const std::vector<card_model::Field>& fields, uint8_t byte) {
    std::string text;
    for (const card_model::Field& field : fields)
        text += (text.empty() ? "" : " ") + cli::Shown(field.name) + "=" +
                FieldValueText(field, field.Get(byte));
    return text;
}

cli::Json FieldsJson(const std::vector<card_model::Field>& fields, uint8_t byte) {
    cli::Json json = cli::Json::object();
    for (const card_model::Field& field : fields)
        json[field.name] = field.Get(byte);
    return json;
}

std::string ByteAndFields(uint8_t byte, const std::vector<card_model::Field>& fields) {
    const std::string hex = cli::PrefixedHex(byte, 2);
    return fields.empty() ? hex : hex + "  " + FieldsText(fields, byte);
}

std::string ReadEffectText(const card_model::Register& reg) {
    if (reg.read == card_model::ReadEffect::kClear)
        return "read clears";
    if (reg.read == card_model::ReadEffect::kSet)
        return "read sets";
    return reg.source.Advances() ? "source advances" : "";
}

std::string InterruptText(const card_model::CardModel& model, uint8_t status,
                          const RegisterValues& values) {
    if (!model.pending)
        return "";
    std::string text = "interrupt: pending " + SetText(TargetSet(*model.pending, status, values));
    if (model.enable)
        text += ", enable " + SetText(TargetSet(*model.enable, status, values));
    return text;
}

cli::Json InterruptJson(const card_model::CardModel& model, uint8_t status,
                        const RegisterValues& values) {
    if (!model.pending)
        return nullptr;
    cli::Json json{{"pending", SetJson(TargetSet(*model.pending, status, values))}};
    if (model.enable)
        json["enable"] = SetJson(TargetSet(*model.enable, status, values));
    return json;
}

}  // namespace commands
