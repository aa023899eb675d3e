// The frame `quorel watch` shows: a card's registers and status as lines of
// text, with what changed at the last refresh marked for highlighting. Pure:
// a frame is made from what was read, and a terminal (terminal.h) draws it
// or a pipe gets it as plain text.
#ifndef QUOREL_TOOLS_WATCH_FRAME_H
#define QUOREL_TOOLS_WATCH_FRAME_H

#include <optional>
#include <string>
#include <vector>

#include "card_model/card_model.h"
#include "json_text.h"
#include "watch/card_view.h"

namespace watch {

struct Span {
    std::string text;
    bool highlight = false;  // changed at the last refresh: reverse video
};
using Line = std::vector<Span>;

// What the frame shows besides the card.
struct Screen {
    std::string title;  // "card 0 (00:05.0)"
    const quorel::card_model::CardModel* model = nullptr;
    double interval = 0.5;  // seconds between refreshes
    bool paused = false;
    bool live = true;                   // on a terminal: a message line and the keys
    std::string message;                // what the last key did, or why not
    std::optional<std::string> prompt;  // what is being typed at the prompt
    int width = 0;                      // columns; 0: lines are not cut
    int height = 0;                     // lines; 0: as many as it takes
    int scroll = 0;                     // the first of the model's registers shown
};

// The frame's lines, cut to the screen's width and height.
std::vector<Line> Frame(const CardView& card, const Screen& screen);
// One line as text: a highlighted span in reverse video when ansi, else plain.
std::string LineText(const Line& line, bool ansi);
// The lines as plain text, each ended by a newline.
std::string FrameText(const std::vector<Line>& lines);

// The frame as `quorel dump --json` has a card, continuing `json` (the
// target): with a model its named registers ("named"), the status's fields
// and the interrupt (with "asserted"); without one, every register.
cli::Json FrameJson(const CardView& card, const quorel::card_model::CardModel* model,
                    cli::Json json);

}  // namespace watch

#endif  // QUOREL_TOOLS_WATCH_FRAME_H
