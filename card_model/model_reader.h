// The model reader's parts, run in turn by ParseCardModel (model_reader.cpp)
// over one file: each adds to the model what it reads and a problem for
// each mistake, and goes on, so that one reading finds every problem.
#ifndef QUOREL_CARD_MODEL_MODEL_READER_H
#define QUOREL_CARD_MODEL_MODEL_READER_H

#include <optional>
#include <string>
#include <string_view>

#include "card_model.h"
#include "reader_support.h"

namespace quorel::card_model {

struct ReadContext {
    Problems problems;
    const ReadFileFunction& read_file;
    CardModel model;
};

// [[register]] (with their fields and sources) and [csr].
void ReadRegisters(const Table& root, ReadContext* context);
// The fields of a register or of [csr], each checked against the others.
std::vector<Field> ReadFields(const Table& owner);
// A register's source; a sequence's file is read through the context.
Source ReadSource(const Value& value, const std::string& owner, ReadContext* context);
// The values of a sequence file's text, or nothing with its problems
// (named by the file and its lines).
std::optional<std::vector<uint8_t>> ParseSequence(std::string_view text, const std::string& file,
                                                  Problems* problems);
// [[command]], [interrupt] and [[event]]: their targets and actions are
// resolved against the registers read before.
void ReadBehaviour(const Table& root, ReadContext* context);
// "CTRL", "CTRL.START", "csr", "csr.IE" of the model; nothing with a
// problem at line when it names nothing.
// named_field, when given, is set to the field named.
std::optional<Target> ResolveTarget(std::string_view text, size_t line, const CardModel& model,
                                    Problems* problems, const Field** named_field = nullptr);
// The table's 'actions', which it must have.
std::vector<Action> ReadActions(const Table& table, const CardModel& model);
// A problem at each after_write event that, with others, would arm itself
// again at delay 0 without end.
void CheckEventCycles(const CardModel& model, Problems* problems);
// Whether an action can arm an after_write event on that target.
bool CanArm(const Action& action, const Target& armed_by);

}  // namespace quorel::card_model

#endif  // QUOREL_CARD_MODEL_MODEL_READER_H
