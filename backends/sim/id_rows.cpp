#include "id_rows.h"

#include "machine_words.h"

namespace quorel::sim {

namespace {

constexpr char kHowToGetRows[] =
    "lspci prints rows only with -x: save `sudo lspci -vvxxx` instead (as root, for all 256 bytes)";
constexpr size_t kNamesShown = 4;

// "00:1f.3", "00:1f.3 and 03:00.0", "00:00.0, 00:02.0, ... (12 functions)".
std::string NamesText(const std::vector<std::string>& names) {
    std::string text;
    for (size_t i = 0; i < names.size() && i < kNamesShown; ++i)
        text += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
    if (names.size() > kNamesShown)
        text += ", ... (" + std::to_string(names.size()) + " functions)";
    return text;
}

}  // namespace

void IdRows::EndFunction() {
    if (current_has_ids_)
        return;
    ++without_ids_;
    if (current_simulated_)
        simulated_without_ids_.push_back(current_);
}

void IdRows::Function(const std::string& name, bool simulated) {
    EndFunction();
    ++functions_;
    current_ = name;
    current_simulated_ = simulated;
    current_has_ids_ = false;
}

void IdRows::Check() {
    EndFunction();
    current_has_ids_ = true;
    if (functions_ == 0 || without_ids_ < functions_)
        return;
    Fail(std::string(any_rows_ ? "no IDs: " : "no configuration bytes: ") +
         std::to_string(functions_) + (functions_ == 1 ? " function is" : " functions are") +
         " listed, but no " + (any_rows_ ? "row '00:'" : "rows of bytes") +
         " such as '00: 86 80 ...'; " + kHowToGetRows);
}

std::string IdRows::Note() const {
    const size_t count = simulated_without_ids_.size();
    if (count == 0)
        return "";
    return NamesText(simulated_without_ids_) +
           (count == 1 ? " has no row '00:' of configuration bytes and reads as an empty slot; "
                       : " have no row '00:' of configuration bytes and read as empty slots; ") +
           kHowToGetRows;
}

}  // namespace quorel::sim
