// `quorel model check PATH`: loads a card model as the stand-in and the
// tool do, without a driver, and shows every problem, or what it names:
// the registers with their indices and fields, the status register, the
// interrupt, the commands and the events.
#include <algorithm>
#include <cstdio>
#include <string>

#include "cli.h"
#include "commands.h"
#include "model_choice.h"
#include "model_text.h"
#include "model_words.h"
#include "text_encoding.h"

namespace commands {

namespace {

namespace card_model = quorel::card_model;

std::string FieldsWords(const std::vector<card_model::Field>& fields) {
    std::string text;
    for (const card_model::Field& field : fields)
        text += (text.empty() ? "" : " ") + cli::Shown(field.name) + "[" + BitsWord(field) + "]";
    return text;
}

// "read-write, reset 0x00, write oneToClear, read clear, counter from 0 step 1"
std::string RegisterWords(const card_model::Register& reg) {
    std::string text = std::string(AccessWord(reg.access)) + ", reset " +
                       (reg.reset_from_machine ? "machine" : cli::PrefixedHex(reg.reset, 2));
    if (reg.write != card_model::WriteEffect::kModify)
        text += std::string(", write ") + WriteWord(reg.write);
    if (reg.read != card_model::ReadEffect::kNone)
        text += std::string(", read ") + ReadWord(reg.read);
    const std::string source = SourceWords(reg.source);
    return source.empty() ? text : text + ", " + source;
}

std::string EventWords(const card_model::Event& event) {
    if (event.every_us)
        return "every " + std::to_string(event.every_us) + " us";
    return std::to_string(event.delay_us) + " us after a write to " +
           cli::Shown(event.after_write->text);
}

void PrintRegisters(const card_model::CardModel& model) {
    std::printf("registers: %zu\n", model.registers.size());
    size_t width = 0;
    for (const card_model::Register& reg : model.registers)
        width = std::max(width, cli::Shown(reg.name).size());
    for (const card_model::Register& reg : model.registers) {
        const std::string fields = FieldsWords(reg.fields);
        std::printf("  %-4d %-*s  %s%s\n", reg.index, static_cast<int>(width),
                    cli::Shown(reg.name).c_str(), RegisterWords(reg).c_str(),
                    fields.empty() ? "" : ("  " + fields).c_str());
    }
    std::printf("status: reset %s  %s\n", cli::PrefixedHex(model.status_reset, 2).c_str(),
                FieldsWords(model.status_fields).c_str());
}

void PrintBehaviour(const card_model::CardModel& model) {
    if (model.pending)
        std::printf("interrupt: pending %s%s\n", cli::Shown(model.pending->text).c_str(),
                    model.enable ? (", enable " + cli::Shown(model.enable->text)).c_str() : "");
    std::printf("commands: %zu\n", model.commands.size());
    for (const card_model::Command& command : model.commands)
        std::printf("  %s%s: %s\n", cli::PrefixedHex(command.byte, 2).c_str(),
                    command.name.empty() ? "" : (" " + cli::Shown(command.name)).c_str(),
                    ActionsText(command.actions).c_str());
    std::printf("events: %zu\n", model.events.size());
    for (const card_model::Event& event : model.events)
        std::printf("  %s: %s\n", EventWords(event).c_str(), ActionsText(event.actions).c_str());
}

cli::Json FieldsList(const std::vector<card_model::Field>& fields) {
    cli::Json json = cli::Json::array();
    for (const card_model::Field& field : fields) {
        cli::Json values = cli::Json::object();
        for (const auto& [name, value] : field.values)
            values[name] = value;
        json.push_back({{"name", field.name}, {"bits", BitsWord(field)}, {"values", values}});
    }
    return json;
}

cli::Json RegisterJson(const card_model::Register& reg) {
    return {{"index", reg.index},
            {"name", reg.name},
            {"access", AccessWord(reg.access)},
            {"reset", reg.reset_from_machine ? cli::Json("machine") : cli::Json(reg.reset)},
            {"write", WriteWord(reg.write)},
            {"read", ReadWord(reg.read)},
            {"source", SourceJson(reg.source)},
            {"fields", FieldsList(reg.fields)}};
}

cli::Json EventJson(const card_model::Event& event) {
    cli::Json json = event.every_us ? cli::Json{{"every_us", event.every_us}}
                                    : cli::Json{{"after_write", event.after_write->text},
                                                {"delay_us", event.delay_us}};
    json["actions"] = ActionsJson(event.actions);
    return json;
}

cli::Json ModelJson(const card_model::CardModel& model) {
    cli::Json json{{"ok", true},
                   {"name", model.name},
                   {"file", model.file},
                   {"registers", cli::Json::array()}};
    for (const card_model::Register& reg : model.registers)
        json["registers"].push_back(RegisterJson(reg));
    json["status"] = {{"reset", model.status_reset}, {"fields", FieldsList(model.status_fields)}};
    json["interrupt"] =
        model.pending ? cli::Json{{"pending", model.pending->text}} : cli::Json(nullptr);
    if (model.pending && model.enable)
        json["interrupt"]["enable"] = model.enable->text;
    json["commands"] = cli::Json::array();
    for (const card_model::Command& command : model.commands)
        json["commands"].push_back({{"byte", command.byte},
                                    {"name", command.name},
                                    {"actions", ActionsJson(command.actions)}});
    json["events"] = cli::Json::array();
    for (const card_model::Event& event : model.events)
        json["events"].push_back(EventJson(event));
    return json;
}

}  // namespace

int Model(const cli::Args& args) {
    if (args.positional[0] != "check")
        return cli::UsageError(
            args, "the model action must be check, not '" + cli::Shown(args.positional[0]) + "'");
    const ModelPointer model = LoadModel(args.positional[1]);
    if (!model)
        return cli::kExitFailure;
    if (args.json) {
        std::printf("%s\n", cli::JsonText(ModelJson(*model)).c_str());
        return cli::kExitOk;
    }
    std::printf("model: %s\n", ModelTitle(*model).c_str());
    PrintRegisters(*model);
    PrintBehaviour(*model);
    return cli::kExitOk;
}

}  // namespace commands
