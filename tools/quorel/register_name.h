// A register as a command line names it: by index (0..254), or by the name
// the card's model gives it, and perhaps one of its fields (REG.FIELD);
// and a field's value, by number or by one of the model's names for it.
#ifndef QUOREL_TOOLS_REGISTER_NAME_H
#define QUOREL_TOOLS_REGISTER_NAME_H

#include <cstdint>
#include <string>

#include "card_model/card_model.h"

namespace commands {

struct RegisterRef {
    int index = 0;
    const quorel::card_model::Register* named = nullptr;  // the model's register there, if any
    const quorel::card_model::Field* field = nullptr;     // REG.FIELD
};

// The fault of a REG given as a number out of range, for before the model
// is known; "" for any other text.
std::string IndexFault(const std::string& text);
// Finds what text names in the model (null: none in use). "" when found,
// else the fault for a usage error: what is unknown, with the model's names.
std::string ResolveRegister(const std::string& text, const quorel::card_model::CardModel* model,
                            RegisterRef& ref);
// A value for ref's field: a number that fits it or one of its value
// names. "" when it is one, else the fault, with the values it takes.
std::string ResolveFieldValue(const std::string& text, const RegisterRef& ref, uint8_t& value);

// "CTRL (register 5)", "CTRL.MODE (register 5, bits 3:1)", "register 5".
std::string RegisterText(const RegisterRef& ref);

}  // namespace commands

#endif  // QUOREL_TOOLS_REGISTER_NAME_H
