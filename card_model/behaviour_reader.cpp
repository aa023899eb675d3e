// [[command]], [interrupt] and [[event]].
#include <limits>

#include "model_reader.h"

namespace quorel::card_model {

namespace {

constexpr int64_t kLongest = std::numeric_limits<int64_t>::max();

void CheckUnique(const std::vector<Command>& commands, Problems* problems) {
    for (size_t i = 0; i < commands.size(); ++i) {
        for (size_t j = 0; j < i; ++j) {
            const Command& a = commands[j];
            const Command& b = commands[i];
            const std::string first = " (the first at line " + std::to_string(a.line) + ")";
            if (a.byte == b.byte)
                problems->Add(b.line, "a second command for the byte " + Hex(b.byte) + first +
                                          ", expected one entry per byte");
            else if (!a.name.empty() && SameName(a.name, b.name))
                problems->Add(b.line, "a second command named " + b.name + first +
                                          ", expected another name");
        }
    }
}

void ReadCommands(const Table& root, ReadContext* context) {
    for (const Value* value : root.Tables("command")) {
        const Table table(*value, "[[command]]", &context->problems);
        table.AllowOnly({"byte", "name", "actions"});
        Command command;
        command.line = value->line;
        command.byte = table.Byte("byte", true).value_or(0);
        command.name = table.NameKey("name", false).value_or("");
        command.actions = ReadActions(table, context->model);
        context->model.commands.push_back(std::move(command));
    }
    CheckUnique(context->model.commands, &context->problems);
}

std::optional<Target> TargetKey(const Table& table, std::string_view key, const CardModel& model,
                                bool required) {
    std::optional<std::string> text = table.String(key, required);
    if (!text)
        return std::nullopt;
    return ResolveTarget(*text, table.Get(key)->line, model, &table.problems());
}

void ReadInterrupt(const Value& value, ReadContext* context) {
    const Table table(value, "[interrupt]", &context->problems);
    table.AllowOnly({"pending", "enable"});
    context->model.pending = TargetKey(table, "pending", context->model, true);
    context->model.enable = TargetKey(table, "enable", context->model, false);
}

// every_us or after_write (with delay_us), one of them.
void ReadTrigger(const Table& table, Event* event, const CardModel& model) {
    const bool periodic = table.Get("every_us");
    const bool after_write = table.Get("after_write");
    if (periodic == after_write) {
        table.problems().Add(table.line(), "[[event]] has " + std::string(periodic ? "both" : "neither") +
                                               " 'every_us' and 'after_write', expected one of them");
        return;
    }
    if (periodic) {
        event->every_us = static_cast<uint64_t>(table.Integer("every_us", 1, kLongest).value_or(0));
        if (const Value* delay = table.Get("delay_us"))
            table.problems().Add(delay->line, "'delay_us' of [[event]] applies to after_write, "
                                              "expected every_us alone for a periodic event");
        return;
    }
    event->after_write = TargetKey(table, "after_write", model, true);
    event->delay_us = static_cast<uint64_t>(table.Integer("delay_us", 0, kLongest).value_or(0));
}

void ReadEvents(const Table& root, ReadContext* context) {
    for (const Value* value : root.Tables("event")) {
        if (context->model.events.size() == kMaxEvents)
            context->problems.Add(value->line, "one [[event]] too many: a model has at most " +
                                                   std::to_string(kMaxEvents) + " events");
        const Table table(*value, "[[event]]", &context->problems);
        table.AllowOnly({"every_us", "after_write", "delay_us", "actions"});
        Event event;
        event.line = value->line;
        ReadTrigger(table, &event, context->model);
        event.actions = ReadActions(table, context->model);
        context->model.events.push_back(std::move(event));
    }
}

}  // namespace

void ReadBehaviour(const Table& root, ReadContext* context) {
    ReadCommands(root, context);
    if (const Value* interrupt = root.Typed("interrupt", Value::Type::kTable, false))
        ReadInterrupt(*interrupt, context);
    ReadEvents(root, context);
}

}  // namespace quorel::card_model
