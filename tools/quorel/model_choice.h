// Which card model names the registers of the card a command acts on: the
// one --model gives, else the one the driver-access library says the card's
// window follows (a simulated card's), else none: then the card's
// registers are plain numbered bytes, as without models.
#ifndef QUOREL_TOOLS_MODEL_CHOICE_H
#define QUOREL_TOOLS_MODEL_CHOICE_H

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "card_model/card_model.h"
#include "cli.h"

namespace commands {

using ModelPointer = std::shared_ptr<const quorel::card_model::CardModel>;

// The model file at path; when it does not load, reports every problem as
// the command's failure (cli::Fail: "FILE:LINE: ..." one per line on
// stderr; with --json "problems" in the failure document) and returns null.
ModelPointer LoadModel(const std::string& path);

// The model of the opened target. False, after reporting it, when the model
// given with --model does not load; a model the driver names that does not
// load is only noted on stderr, and the card shown without it.
bool TargetModel(const cli::Args& args, ModelPointer& model);

// Reads the opened target's registers whose reads change nothing on the
// card, as the model says; none for any other.
std::function<std::optional<uint8_t>(uint8_t index)> UnchangingReads(
    const cli::Target& target, const quorel::card_model::CardModel& model);

}  // namespace commands

#endif  // QUOREL_TOOLS_MODEL_CHOICE_H
