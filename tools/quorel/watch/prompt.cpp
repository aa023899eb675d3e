// The watch's prompt line: `REG VALUE` or `REG.FIELD VALUE` writes as
// `quorel write` does, `REG` alone reads the register once (one the
// refreshes leave unread too). What it did, or why not, goes to the
// message line.
#include <sstream>
#include <vector>

#include "card_target.h"
#include "model_text.h"
#include "register_name.h"
#include "register_write.h"
#include "watch/frame_parts.h"
#include "watch/reading.h"
#include "watch/session.h"

namespace watch {

namespace {

constexpr char kForms[] = "type REG VALUE, REG.FIELD VALUE, or REG alone to read it once";

std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

std::string ByteText(uint8_t value) { return cli::PrefixedHex(value, 2) + " " + Binary(value); }

}  // namespace

void Session::RunPrompt(const std::string& line) {
    const std::vector<std::string> words = Words(line);
    if (!words.empty() && words[0].substr(0, words[0].find('.')) == "csr")
        Say("error: the control/status register is the row 255 csr; the keys r, e, d and a "
            "send its commands");
    else if (words.size() == 1)
        ReadAsked(words[0]);
    else if (words.size() == 2)
        WriteAsked(words[0], words[1]);
    else if (!words.empty())
        Say("error: " + std::string(kForms));
}

void Session::ReadAsked(const std::string& reg) {
    commands::RegisterRef ref;
    const std::string fault = commands::ResolveRegister(reg, model_.get(), ref);
    if (!fault.empty()) {
        Say("error: " + fault);
        return;
    }
    const uint8_t value = static_cast<uint8_t>(commands::ReadRegister(target_, ref.index));
    if (ref.named && !ReadUnasked(*ref.named, all_))
        card_.ReadOnce(ref.index, value, Now());
    const std::string text = ref.field
        ? commands::FieldValueText(*ref.field, ref.field->Get(value))
        : ByteText(value);
    Say(commands::RegisterText(ref) + " read: " + text);
}

void Session::WriteAsked(const std::string& reg, const std::string& value) {
    commands::RegisterRef ref;
    const std::string fault = commands::ResolveRegister(reg, model_.get(), ref);
    if (!fault.empty()) {
        Say("error: " + fault);
        return;
    }
    const commands::WriteOutcome outcome = commands::WriteReference(target_, ref, value, "");
    if (outcome.kind != commands::WriteOutcome::Kind::kDone) {
        Say("error: " + outcome.text);
        return;
    }
    long long number = 0;
    cli::ParseNumber(value, number);
    const std::string done = outcome.text.empty()
        ? commands::RegisterText(ref) + ": " + cli::PrefixedHex(uint64_t(number), 2) + " written"
        : outcome.text;
    Say(done + (outcome.note.empty() ? "" : "; " + outcome.note));
}

}  // namespace watch
