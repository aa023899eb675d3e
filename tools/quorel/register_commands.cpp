// `quorel read`, `write` and `status`: one register of a card, by index or
// by the name its model gives it, whole or one field.
#include <cstdio>
#include <string>

#include "card_target.h"
#include "commands.h"
#include "failure.h"
#include "model_choice.h"
#include "model_text.h"
#include "quorel.h"
#include "register_name.h"
#include "register_write.h"
#include "text_encoding.h"

namespace commands {

namespace {

namespace card_model = quorel::card_model;

constexpr int kByteDigits = 2;

// The target opened and REG resolved against its model.
struct Resolved {
    ModelPointer model;
    RegisterRef ref;
};

int OpenAndResolve(const cli::Args& args, Resolved& at) {
    const std::string early = IndexFault(args.positional[0]);
    if (!early.empty())
        return cli::UsageError(args, early);
    if (!OpenTarget(args.target) || !TargetModel(args, at.model))
        return cli::kExitFailure;
    const std::string fault = ResolveRegister(args.positional[0], at.model.get(), at.ref);
    return fault.empty() ? cli::kExitOk : cli::UsageError(args, fault);
}

std::string Hex(uint8_t byte) { return cli::PrefixedHex(byte, kByteDigits); }

void PrintJson(cli::Json json) { std::printf("%s\n", cli::JsonText(json).c_str()); }

void PrintByte(const cli::Args& args, const char* key, int value) {
    if (!args.json) {
        std::printf("%s\n", Hex(static_cast<uint8_t>(value)).c_str());
        return;
    }
    cli::Json json = TargetJson(args.target);
    json[key] = value;
    PrintJson(json);
}

void PrintNamedRegister(const cli::Args& args, const card_model::Register& reg, uint8_t value) {
    if (!args.json) {
        const std::string fields = FieldsText(reg.fields, value);
        std::printf("%s  %s%s\n", Hex(value).c_str(), cli::Shown(reg.name).c_str(),
                    fields.empty() ? "" : ("  " + fields).c_str());
        return;
    }
    cli::Json json = TargetJson(args.target);
    json.update({{"value", value},
                 {"name", reg.name},
                 {"index", reg.index},
                 {"fields", FieldsJson(reg.fields, value)}});
    PrintJson(json);
}

void PrintField(const cli::Args& args, const RegisterRef& ref, uint8_t value) {
    const card_model::Field& field = *ref.field;
    if (!args.json) {
        std::printf("%s\n", FieldValueText(field, value).c_str());
        return;
    }
    const std::string_view name = field.NameOf(value);
    cli::Json json = TargetJson(args.target);
    json.update({{"value", value},
                 {"name", ref.named->name},
                 {"index", ref.index},
                 {"field", field.name},
                 {"value_name", name.empty() ? cli::Json(nullptr) : cli::Json(std::string(name))}});
    PrintJson(json);
}

void Note(const std::string& text) { std::fprintf(stderr, "quorel: note: %s\n", text.c_str()); }

// "0" or "--board 1": the target as the command line gives it.
std::string TargetWords(const cli::Target& target) {
    return (target.by_board ? "--board " : "") + std::to_string(target.number);
}

}  // namespace

int Read(const cli::Args& args) {
    Resolved at;
    if (const int code = OpenAndResolve(args, at); code != cli::kExitOk)
        return code;
    const uint8_t value = static_cast<uint8_t>(ReadRegister(args.target, at.ref.index));
    if (at.ref.named && at.ref.named->access == card_model::Access::kWriteOnly)
        Note(RegisterText(at.ref) + " is write-only: reads return " + Hex(at.ref.named->fill) +
             ", not what was written");
    if (at.ref.field)
        PrintField(args, at.ref, at.ref.field->Get(value));
    else if (at.ref.named)
        PrintNamedRegister(args, *at.ref.named, value);
    else
        PrintByte(args, "value", value);
    return cli::kExitOk;
}

int Write(const cli::Args& args) {
    Resolved at;
    if (const int code = OpenAndResolve(args, at); code != cli::kExitOk)
        return code;
    const WriteOutcome outcome = WriteReference(args.target, at.ref, args.positional[1],
                                                "quorel write " + TargetWords(args.target) + " ");
    if (outcome.kind == WriteOutcome::Kind::kBadValue)
        return cli::UsageError(args, outcome.text);
    if (outcome.kind == WriteOutcome::Kind::kRefused)
        return cli::Fail(outcome.text);
    if (!outcome.note.empty())
        Note(outcome.note);
    if (!outcome.text.empty())
        std::printf("%s\n", outcome.text.c_str());
    return cli::kExitOk;
}

int Status(const cli::Args& args) {
    ModelPointer model;
    if (!OpenTarget(args.target) || !TargetModel(args, model))
        return cli::kExitFailure;
    const uint8_t status = static_cast<uint8_t>(Quorel_sts());
    if (!model) {
        PrintByte(args, "status", status);
        return cli::kExitOk;
    }
    const RegisterValues values = UnchangingReads(args.target, *model);
    if (args.json) {
        cli::Json json = TargetJson(args.target);
        json.update({{"status", status},
                     {"fields", FieldsJson(model->status_fields, status)},
                     {"interrupt", InterruptJson(*model, status, values)}});
        PrintJson(json);
        return cli::kExitOk;
    }
    const std::string interrupt = InterruptText(*model, status, values);
    std::printf("%s\n%s", ByteAndFields(status, model->status_fields).c_str(),
                interrupt.empty() ? "" : (interrupt + "\n").c_str());
    return cli::kExitOk;
}

}  // namespace commands
