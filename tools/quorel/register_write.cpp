#include "register_write.h"

#include "card_target.h"
#include "model_text.h"
#include "model_words.h"
#include "text_encoding.h"

namespace commands {

namespace {

namespace card_model = quorel::card_model;

constexpr int kMaxByte = 0xFF;
constexpr int kByteDigits = 2;

using Kind = WriteOutcome::Kind;

std::string Hex(uint8_t byte) { return cli::PrefixedHex(byte, kByteDigits); }

// Why one field of ref's register cannot be written alone; "" when it can.
// A register that takes ones as commands (oneToClear, ...) is written the
// field's bits alone, without a read; any other is read, changed, written.
std::string FieldWriteRefusal(const RegisterRef& ref, const std::string& instead) {
    const card_model::Register& reg = *ref.named;
    const std::string name = cli::Shown(reg.name);
    if (reg.access == card_model::Access::kReadOnly)
        return RegisterText(ref) + " cannot be written: " + name +
               " is read-only, the card ignores writes";
    if (reg.write != card_model::WriteEffect::kModify)
        return "";
    std::string why;
    if (reg.access == card_model::Access::kWriteOnly)
        why = name + " is write-only (reads return " + Hex(reg.fill) +
              "), so its other fields are not known";
    else if (reg.ReadHasSideEffect())
        why = "that reads " + name + " first, and a read changes the card (" +
              ReadEffectText(reg) + ")";
    if (why.empty())
        return "";
    return RegisterText(ref) + " cannot be written alone: " + why +
           "; write the whole register instead: " + instead + name + " VALUE";
}

WriteOutcome WriteField(const cli::Target& target, const RegisterRef& ref,
                        const std::string& text, const std::string& instead) {
    uint8_t value = 0;
    const std::string fault = ResolveFieldValue(text, ref, value);
    if (!fault.empty())
        return {Kind::kBadValue, fault, ""};
    const std::string refusal = FieldWriteRefusal(ref, instead);
    if (!refusal.empty())
        return {Kind::kRefused, refusal, ""};
    const card_model::Field& field = *ref.field;
    const uint8_t bits = static_cast<uint8_t>((value << field.low) & field.Mask());
    const std::string whole = RegisterText({ref.index, ref.named, nullptr});
    if (ref.named->write != card_model::WriteEffect::kModify) {
        WriteRegister(target, ref.index, bits);
        return {Kind::kDone,
                whole + ": " + Hex(bits) + " written (" + WriteWord(ref.named->write) + ")", ""};
    }
    const uint8_t old = static_cast<uint8_t>(ReadRegister(target, ref.index));
    const uint8_t written = static_cast<uint8_t>((old & ~field.Mask()) | bits);
    WriteRegister(target, ref.index, written);
    return {Kind::kDone, whole + ": " + Hex(old) + " -> " + Hex(written), ""};
}

WriteOutcome WriteWhole(const cli::Target& target, const RegisterRef& ref,
                        const std::string& text) {
    int value = 0;
    if (!cli::ParseInRange(text, 0, kMaxByte, value))
        return {Kind::kBadValue, "VALUE must be 0 to 255", ""};
    WriteOutcome outcome;
    if (ref.named && ref.named->access == card_model::Access::kReadOnly)
        outcome.note = RegisterText(ref) + " is read-only: the card ignores the write";
    WriteRegister(target, ref.index, value);
    return outcome;
}

}  // namespace

WriteOutcome WriteReference(const cli::Target& target, const RegisterRef& ref,
                            const std::string& value, const std::string& instead) {
    return ref.field ? WriteField(target, ref, value, instead) : WriteWhole(target, ref, value);
}

}  // namespace commands
