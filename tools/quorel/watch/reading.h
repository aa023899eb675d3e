// The watch's reads of the card: at each refresh every register it shows
// (not those whose read changes the card, unless --all), then the status.
#ifndef QUOREL_TOOLS_WATCH_READING_H
#define QUOREL_TOOLS_WATCH_READING_H

#include "card_model/card_model.h"
#include "cli.h"
#include "watch/card_view.h"

namespace watch {

// The local time of day, now.
TimeOfDay Now();

// With a model, the registers it names that a refresh reads (ReadUnasked);
// without, registers 0..254. The opened target's status after them.
Sample ReadCard(const cli::Target& target, const quorel::card_model::CardModel* model, bool all);

}  // namespace watch

#endif  // QUOREL_TOOLS_WATCH_READING_H
