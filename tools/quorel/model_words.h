// A card model's settings in the words of its file ("read-only",
// "oneToClear", "3:1"), for `quorel model check` to show them as written.
#ifndef QUOREL_TOOLS_MODEL_WORDS_H
#define QUOREL_TOOLS_MODEL_WORDS_H

#include <string>
#include <vector>

#include "card_model/card_model.h"
#include "json_text.h"

namespace commands {

const char* AccessWord(quorel::card_model::Access access);
const char* WriteWord(quorel::card_model::WriteEffect write);
const char* ReadWord(quorel::card_model::ReadEffect read);
// "0" for one bit, "3:1" for several.
std::string BitsWord(const quorel::card_model::Field& field);
// "sequence of 12 bytes (samples.txt), looping", "counter from 0 step 1",
// "constant 0x5a"; "" for none.
std::string SourceWords(const quorel::card_model::Source& source);
// {"kind": "counter", "start": 0, "step": 1}; null for none.
cli::Json SourceJson(const quorel::card_model::Source& source);
// The actions as the file wrote them, joined by ", " (the text) or listed.
std::string ActionsText(const std::vector<quorel::card_model::Action>& actions);
cli::Json ActionsJson(const std::vector<quorel::card_model::Action>& actions);

}  // namespace commands

#endif  // QUOREL_TOOLS_MODEL_WORDS_H
