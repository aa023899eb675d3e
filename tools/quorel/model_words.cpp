#include "model_words.h"

#include "cli.h"
#include "text_encoding.h"

namespace commands {

namespace card_model = quorel::card_model;

const char* AccessWord(card_model::Access access) {
    switch (access) {
    case card_model::Access::kReadOnly:
        return "read-only";
    case card_model::Access::kWriteOnly:
        return "write-only";
    default:
        return "read-write";
    }
}

const char* WriteWord(card_model::WriteEffect write) {
    switch (write) {
    case card_model::WriteEffect::kOneToClear:
        return "oneToClear";
    case card_model::WriteEffect::kOneToSet:
        return "oneToSet";
    case card_model::WriteEffect::kOneToToggle:
        return "oneToToggle";
    default:
        return "modify";
    }
}

const char* ReadWord(card_model::ReadEffect read) {
    switch (read) {
    case card_model::ReadEffect::kClear:
        return "clear";
    case card_model::ReadEffect::kSet:
        return "set";
    default:
        return "none";
    }
}

std::string BitsWord(const card_model::Field& field) {
    return std::to_string(field.high) +
           (field.high == field.low ? "" : ":" + std::to_string(field.low));
}

std::string SourceWords(const card_model::Source& source) {
    using Kind = card_model::Source::Kind;
    switch (source.kind) {
    case Kind::kSequence:
        return "sequence of " + std::to_string(source.sequence.size()) + " bytes (" +
               cli::Shown(source.file) + ")" + (source.loop ? ", looping" : "");
    case Kind::kCounter:
        return "counter from " + std::to_string(source.start) + " step " +
               std::to_string(source.step);
    case Kind::kConstant:
        return "constant " + cli::PrefixedHex(source.constant, 2);
    default:
        return "";
    }
}

cli::Json SourceJson(const card_model::Source& source) {
    using Kind = card_model::Source::Kind;
    switch (source.kind) {
    case Kind::kSequence:
        return {{"kind", "sequence"},
                {"file", source.file},
                {"bytes", source.sequence.size()},
                {"loop", source.loop}};
    case Kind::kCounter:
        return {{"kind", "counter"}, {"start", source.start}, {"step", source.step}};
    case Kind::kConstant:
        return {{"kind", "constant"}, {"value", source.constant}};
    default:
        return nullptr;
    }
}

std::string ActionsText(const std::vector<card_model::Action>& actions) {
    std::string text;
    for (const card_model::Action& action : actions)
        text += (text.empty() ? "" : ", ") + cli::Shown(action.text);
    return text;
}

cli::Json ActionsJson(const std::vector<card_model::Action>& actions) {
    cli::Json json = cli::Json::array();
    for (const card_model::Action& action : actions)
        json.push_back(action.text);
    return json;
}

}  // namespace commands
