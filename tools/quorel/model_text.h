// How the tool shows what a card model says of the values it reads: each
// field's value with its name, why a register is not read unasked, and
// the state of the model's interrupt.
#ifndef QUOREL_TOOLS_MODEL_TEXT_H
#define QUOREL_TOOLS_MODEL_TEXT_H

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "card_model/card_model.h"
#include "json_text.h"

namespace commands {

// "Acme counter card (acme.toml)", the file alone for a model without a name.
std::string ModelTitle(const quorel::card_model::CardModel& model);

// "2 (continuous)": a field's value and its name in the model, or "2".
std::string FieldValueText(const quorel::card_model::Field& field, uint8_t value);
// "START=1 MODE=2 (continuous)": every field of a byte; "" without fields.
std::string FieldsText(const std::vector<quorel::card_model::Field>& fields, uint8_t byte);
// {"START": 1, "MODE": 2}
cli::Json FieldsJson(const std::vector<quorel::card_model::Field>& fields, uint8_t byte);

// "0x11  PENDING=1 IE=0 DONE=1": a byte and its fields; the byte alone
// without fields.
std::string ByteAndFields(uint8_t byte, const std::vector<quorel::card_model::Field>& fields);

// What a read of the register changes on the card: "read clears", "read
// sets", "source advances"; "" when nothing.
std::string ReadEffectText(const quorel::card_model::Register& reg);

// A register's value as read, or none when it was not read.
using RegisterValues = std::function<std::optional<uint8_t>(uint8_t index)>;
// Whether any of a target's bits is set (in the status byte or a register);
// none when its register was not read.
std::optional<bool> TargetSet(const quorel::card_model::Target& target, uint8_t status,
                              const RegisterValues& values);
// "interrupt: pending 1, enable 0" (or "pending not read"); "" when the
// model names no interrupt.
std::string InterruptText(const quorel::card_model::CardModel& model, uint8_t status,
                          const RegisterValues& values);
// {"pending": true, "enable": false}, null for what was not read; null when
// the model names no interrupt.
cli::Json InterruptJson(const quorel::card_model::CardModel& model, uint8_t status,
                        const RegisterValues& values);

}  // namespace commands

#endif  // QUOREL_TOOLS_MODEL_TEXT_H
