// The watch's frame as JSON (--once --json): the form `quorel dump --json`
// gives a card, and the interrupt's "asserted".
#include "model_text.h"
#include "watch/frame.h"
#include "watch/frame_parts.h"

namespace watch {

namespace {

namespace card_model = quorel::card_model;

cli::Json ValueJson(const std::optional<uint8_t>& value) {
    return value ? cli::Json(*value) : cli::Json(nullptr);
}

cli::Json SetJson(const std::optional<bool>& set) {
    return set ? cli::Json(*set) : cli::Json(nullptr);
}

cli::Json NamedJson(const card_model::Register& reg, const Cell& cell) {
    cli::Json json{{"index", reg.index}, {"name", reg.name}, {"value", ValueJson(cell.value)}};
    if (cell.value)
        json["fields"] = commands::FieldsJson(reg.fields, *cell.value);
    else
        json["not_read"] = UnreadReason(reg);
    return json;
}

cli::Json InterruptJson(const card_model::CardModel& model, const CardView& card) {
    if (!model.pending)
        return nullptr;
    const InterruptState state = Interrupt(model, card, false);
    cli::Json json{{"pending", SetJson(state.pending)}};
    if (model.enable)
        json["enable"] = SetJson(state.enable);
    json["asserted"] = SetJson(state.asserted);
    return json;
}

}  // namespace

cli::Json FrameJson(const CardView& card, const card_model::CardModel* model, cli::Json json) {
    const uint8_t status = card.status.value.value_or(0);
    if (!model) {
        json["registers"] = cli::Json::array();
        for (const Cell& cell : card.registers)
            json["registers"].push_back(ValueJson(cell.value));
        json["status"] = status;
        return json;
    }
    cli::Json named = cli::Json::array();
    for (const card_model::Register* reg : SortedRegisters(*model))
        named.push_back(NamedJson(*reg, card.registers[reg->index]));
    json.update({{"model", {{"name", model->name}, {"file", model->file}}},
                 {"named", named},
                 {"status", status},
                 {"status_fields", commands::FieldsJson(model->status_fields, status)},
                 {"interrupt", InterruptJson(*model, card)}});
    return json;
}

}  // namespace watch
