// The parts of the watch's frame (frame.h): the body with a card model (its
// registers, one row each) or without (a grid of every register), and the
// pieces they are made of.
#ifndef QUOREL_TOOLS_WATCH_FRAME_PARTS_H
#define QUOREL_TOOLS_WATCH_FRAME_PARTS_H

#include <string>
#include <vector>

#include "watch/frame.h"

namespace watch {

// "00110011"
std::string Binary(uint8_t byte);
// The value as the frame shows it: "0x33", or "--" unread.
std::string HexText(const Cell& cell);
// The time of its last change, or "-".
std::string ChangedText(const Cell& cell);

// The model's registers in index order.
std::vector<const quorel::card_model::Register*> SortedRegisters(
    const quorel::card_model::CardModel& model);

// The model's interrupt as the values read show it (or those of the refresh
// before); each none when its register was not read.
struct InterruptState {
    std::optional<bool> pending, enable, asserted;
};
InterruptState Interrupt(const quorel::card_model::CardModel& model, const CardView& card,
                         bool before);

// Columns of text, counting characters, not bytes.
size_t Columns(const std::string& text);
size_t Columns(const Line& line);

// With a model: the column heads, a row per register from screen.scroll
// on (as many as `rows` lines hold; 0: all), the status row, the interrupt.
std::vector<Line> ModelBody(const CardView& card, const Screen& screen, int rows);
// Lines the model body takes besides its registers' rows.
int ModelBodyFixedLines(const CardView& card, const Screen& screen);
// Without a model: registers 0..254 in rows of 16, beside them the last
// changes with their binary value and time, then the status.
std::vector<Line> GridBody(const CardView& card);

}  // namespace watch

#endif  // QUOREL_TOOLS_WATCH_FRAME_PARTS_H
