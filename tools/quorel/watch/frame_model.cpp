// The frame's body with a card model: a row per register it names, the
// status row and the interrupt.
#include <algorithm>

#include "cli.h"
#include "model_text.h"
#include "text_encoding.h"
#include "watch/frame_parts.h"

namespace watch {

namespace {

namespace card_model = quorel::card_model;

constexpr size_t kIndexWidth = 4;
constexpr size_t kHexWidth = 4;
constexpr size_t kBinaryWidth = 8;
constexpr size_t kTimeWidth = 12;
constexpr size_t kNameGap = 2;
// Narrower than this beside the columns, fields are cut rather than wrapped.
constexpr size_t kLeastWordsWidth = 12;
constexpr char kStatusName[] = "csr";

std::string Padded(std::string text, size_t width) {
    text.resize(std::max(width, text.size()), ' ');
    return text;
}

size_t NameWidth(const card_model::CardModel& model) {
    size_t width = sizeof(kStatusName) - 1;
    for (const card_model::Register& reg : model.registers)
        width = std::max(width, cli::Shown(reg.name).size());
    return width;
}

// Each field with its value, highlighted when that changed.
std::vector<Span> FieldSpans(const std::vector<card_model::Field>& fields, const Cell& cell) {
    std::vector<Span> spans;
    for (const card_model::Field& field : fields) {
        const uint8_t value = field.Get(*cell.value);
        spans.push_back({cli::Shown(field.name) + "=" + commands::FieldValueText(field, value),
                         cell.before && field.Get(*cell.before) != value});
    }
    return spans;
}

// The words after the value's columns: its fields, or why it is unread.
std::vector<Span> Words(const card_model::Register& reg, const Cell& cell) {
    if (!cell.value)
        return {Span{"not read (" + UnreadReason(reg) + ")"}};
    std::vector<Span> words = FieldSpans(reg.fields, cell);
    if (cell.read_once)
        words.push_back({"(read once)"});
    return words;
}

// A row: the lead (index and name), the value's columns, then the words,
// wrapped below the first of them when they do not fit the width.
std::vector<Line> Row(const std::string& lead, const Cell& cell, const std::vector<Span>& words,
                      size_t width) {
    const bool changed = cell.Changed();
    std::vector<Line> lines{Line{{lead},
                                 {Padded(HexText(cell), kHexWidth), changed},
                                 {" "},
                                 {Padded(cell.value ? Binary(*cell.value) : "--", kBinaryWidth), changed},
                                 {" " + Padded(ChangedText(cell), kTimeWidth) + " "}}};
    const size_t indent = Columns(lines.front());
    const bool wraps = width >= indent + kLeastWordsWidth;
    size_t used = indent;
    for (const Span& word : words) {
        const bool first = used == indent;
        if (wraps && !first && used + 1 + Columns(word.text) > width) {
            lines.push_back(Line{{std::string(indent, ' ')}});
            used = indent;
        } else if (!first) {
            lines.back().push_back({" "});
            ++used;
        }
        lines.back().push_back(word);
        used += Columns(word.text);
    }
    return lines;
}

std::string Lead(const std::string& index, const std::string& name, size_t name_width) {
    return Padded(index, kIndexWidth) + Padded(name, name_width + kNameGap);
}

std::vector<Line> StatusRow(const CardView& card, const Screen& screen) {
    const card_model::CardModel& model = *screen.model;
    return Row(Lead("255", kStatusName, NameWidth(model)), card.status,
               FieldSpans(model.status_fields, card.status), size_t(screen.width));
}

std::string SetText(const std::optional<bool>& set) {
    return set ? (*set ? "1" : "0") : "not read";
}

Span StateSpan(const char* name, const std::optional<bool>& now, const std::optional<bool>& before) {
    return {std::string(name) + " " + SetText(now), before && now && *before != *now};
}

Line InterruptLine(const CardView& card, const card_model::CardModel& model) {
    if (!model.pending)
        return Line{{"interrupt: the card model names none"}};
    const InterruptState now = Interrupt(model, card, false), before = Interrupt(model, card, true);
    Line line{{"interrupt: "}, StateSpan("pending", now.pending, before.pending)};
    if (model.enable)
        line.insert(line.end(), {{", "}, StateSpan("enable", now.enable, before.enable)});
    line.insert(line.end(), {{", "}, StateSpan("asserted", now.asserted, before.asserted)});
    return line;
}

Line Heads(const card_model::CardModel& model, size_t first, size_t shown) {
    const size_t count = model.registers.size();
    std::string heads = Lead("REG", "NAME", NameWidth(model)) + "HEX  BINARY   CHANGED      FIELDS";
    if (shown < count)
        heads += "  (" + std::to_string(first + 1) + "-" + std::to_string(first + shown) +
                 " of " + std::to_string(count) + ", Up/Down)";
    return Line{{heads}};
}

}  // namespace

std::vector<const card_model::Register*> SortedRegisters(const card_model::CardModel& model) {
    std::vector<const card_model::Register*> sorted;
    for (const card_model::Register& reg : model.registers)
        sorted.push_back(&reg);
    std::sort(sorted.begin(), sorted.end(), [](auto* a, auto* b) { return a->index < b->index; });
    return sorted;
}

InterruptState Interrupt(const card_model::CardModel& model, const CardView& card, bool before) {
    const auto pick = [before](const Cell& cell) { return before ? cell.before : cell.value; };
    const commands::RegisterValues values = [&](uint8_t i) { return pick(card.registers[i]); };
    const std::optional<uint8_t> status = pick(card.status);
    InterruptState state;
    if (!status || !model.pending)
        return state;
    state.pending = commands::TargetSet(*model.pending, *status, values);
    if (model.enable)
        state.enable = commands::TargetSet(*model.enable, *status, values);
    if (state.pending && (!model.enable || state.enable))
        state.asserted = *state.pending && (!model.enable || *state.enable);
    return state;
}

int ModelBodyFixedLines(const CardView& card, const Screen& screen) {
    return static_cast<int>(StatusRow(card, screen).size()) + 2;  // the heads, the interrupt
}

std::vector<Line> ModelBody(const CardView& card, const Screen& screen, int rows) {
    const card_model::CardModel& model = *screen.model;
    const std::vector<const card_model::Register*> sorted = SortedRegisters(model);
    const size_t first = std::min(size_t(std::max(screen.scroll, 0)),
                                  sorted.empty() ? 0 : sorted.size() - 1);
    std::vector<Line> lines;
    size_t shown = 0;
    for (size_t i = first; i < sorted.size() && (!rows || lines.size() < size_t(rows)); ++i, ++shown) {
        const card_model::Register& reg = *sorted[i];
        const Cell& cell = card.registers[reg.index];
        for (const Line& line : Row(Lead(std::to_string(reg.index), cli::Shown(reg.name),
                                         NameWidth(model)),
                                    cell, Words(reg, cell), size_t(screen.width)))
            lines.push_back(line);
    }
    if (rows && lines.size() > size_t(rows))
        lines.resize(size_t(rows));
    lines.insert(lines.begin(), Heads(model, first, shown));
    for (const Line& line : StatusRow(card, screen))
        lines.push_back(line);
    lines.push_back(InterruptLine(card, model));
    return lines;
}

}  // namespace watch
