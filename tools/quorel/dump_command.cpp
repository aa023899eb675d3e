// `quorel dump`: every register of a card and its status register. With a
// card model, each register it names with its name and fields, the status
// register's fields and the interrupt; a register whose read changes the
// card (a read action, a source that moves on) is read only with --all.
#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "card_target.h"
#include "commands.h"
#include "model_choice.h"
#include "model_text.h"
#include "quorel.h"
#include "text_encoding.h"

namespace commands {

namespace {

namespace card_model = quorel::card_model;

constexpr int kLastRegister = quorel::inspect::kStatusRegister - 1;
constexpr int kDumpColumns = 16;
constexpr int kByteDigits = 2;

using Values = std::vector<std::optional<uint8_t>>;

// Registers 0..254, none for one left unread.
Values ReadRegisters(const cli::Args& args, const card_model::CardModel* model) {
    Values values;
    for (int reg = 0; reg <= kLastRegister; ++reg) {
        const card_model::Register* named =
            model ? model->FindRegister(static_cast<uint8_t>(reg)) : nullptr;
        const bool unasked = named && named->ReadHasSideEffect() && !args.all;
        values.push_back(
            unasked ? std::nullopt
                    : std::optional<uint8_t>(static_cast<uint8_t>(ReadRegister(args.target, reg))));
    }
    return values;
}

// The model's registers in index order.
std::vector<const card_model::Register*> Named(const card_model::CardModel& model) {
    std::vector<const card_model::Register*> named;
    for (const card_model::Register& reg : model.registers)
        named.push_back(&reg);
    std::sort(named.begin(), named.end(), [](auto* a, auto* b) { return a->index < b->index; });
    return named;
}

std::string NotReadText(const card_model::Register& reg) {
    return "not read (" + ReadEffectText(reg) + ")";
}

cli::Json NamedJson(const card_model::Register& reg, const std::optional<uint8_t>& value) {
    cli::Json json{{"index", reg.index}, {"name", reg.name}};
    if (value)
        json.update({{"value", *value}, {"fields", FieldsJson(reg.fields, *value)}});
    else
        json.update({{"value", nullptr}, {"not_read", ReadEffectText(reg)}});
    return json;
}

cli::Json ModelJson(const card_model::CardModel& model, const Values& values, uint8_t status) {
    cli::Json named = cli::Json::array();
    for (const card_model::Register* reg : Named(model))
        named.push_back(NamedJson(*reg, values[reg->index]));
    return cli::Json{
        {"model", {{"name", model.name}, {"file", model.file}}},
        {"named", named},
        {"status_fields", FieldsJson(model.status_fields, status)},
        {"interrupt", InterruptJson(model, status, [&](uint8_t i) { return values[i]; })}};
}

void PrintJson(const cli::Args& args, const card_model::CardModel* model, const Values& values,
               uint8_t status) {
    cli::Json json = TargetJson(args.target);
    json["registers"] = cli::Json::array();
    for (const std::optional<uint8_t>& value : values)
        json["registers"].push_back(value ? cli::Json(*value) : cli::Json(nullptr));
    json["status"] = status;
    if (model)
        json.update(ModelJson(*model, values, status));
    std::printf("%s\n", cli::JsonText(json).c_str());
}

void PrintGrid(const Values& values) {
    std::printf("reg ");  // rows of 16 registers, numbered in hex
    for (int column = 0; column < kDumpColumns; ++column)
        std::printf(" +%x", column);
    for (int reg = 0; reg <= kLastRegister; ++reg) {
        if (reg % kDumpColumns == 0)
            std::printf("\n%02x: ", reg);
        std::printf(values[reg] ? " %02x" : " --", values[reg].value_or(0));
    }
    std::printf("\n");
}

// The named registers, one a line: index, name, value and fields.
size_t PrintNamed(const card_model::CardModel& model, const Values& values) {
    size_t width = 0, unread = 0;
    for (const card_model::Register& reg : model.registers)
        width = std::max(width, cli::Shown(reg.name).size());
    for (const card_model::Register* reg : Named(model)) {
        const std::optional<uint8_t>& value = values[reg->index];
        unread += !value;
        std::string shown = value ? ByteAndFields(*value, reg->fields) : NotReadText(*reg);
        if (value && reg->access == card_model::Access::kWriteOnly)
            shown = "write-only (reads " + cli::PrefixedHex(*value, kByteDigits) + ")";
        std::printf("%-4d %-*s  %s\n", reg->index, static_cast<int>(width),
                    cli::Shown(reg->name).c_str(), shown.c_str());
    }
    return unread;
}

void PrintModelText(const card_model::CardModel& model, const Values& values, uint8_t status) {
    std::printf("status: %s\n", ByteAndFields(status, model.status_fields).c_str());
    const std::string interrupt =
        InterruptText(model, status, [&](uint8_t i) { return values[i]; });
    if (!interrupt.empty())
        std::printf("%s\n", interrupt.c_str());
    if (PrintNamed(model, values) == 0)
        return;
    std::fflush(stdout);
    std::fprintf(
        stderr,
        "quorel: note: registers not read change the card when read; --all reads them too\n");
}

}  // namespace

int Dump(const cli::Args& args) {
    ModelPointer model;
    if (!OpenTarget(args.target) || !TargetModel(args, model))
        return cli::kExitFailure;
    const Values values = ReadRegisters(args, model.get());
    const uint8_t status =
        static_cast<uint8_t>(Quorel_sts());  // after the reads: they select a board anew
    if (args.json) {
        PrintJson(args, model.get(), values, status);
        return cli::kExitOk;
    }
    if (model)
        std::printf("model: %s\n", ModelTitle(*model).c_str());
    PrintGrid(values);
    if (model)
        PrintModelText(*model, values, status);
    else
        std::printf("status: %s\n", cli::PrefixedHex(status, kByteDigits).c_str());
    return cli::kExitOk;
}

}  // namespace commands
