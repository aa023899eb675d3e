// The frame's body without a card model: registers 0..254 in rows of 16,
// beside them the registers changed last, and the status.
#include <algorithm>

#include "cli.h"
#include "watch/frame_parts.h"

namespace watch {

namespace {

constexpr int kColumns = 16;
constexpr int kRows = 16;
constexpr char kGap[] = "   ";
constexpr size_t kCellWidth = 3;

// The registers that changed, the latest first: as many as the grid has rows.
std::vector<int> LastChanged(const CardView& card) {
    std::vector<int> changed;
    for (int i = 0; i < static_cast<int>(card.registers.size()); ++i)
        if (card.registers[size_t(i)].changed_at)
            changed.push_back(i);
    std::stable_sort(changed.begin(), changed.end(), [&](int a, int b) {
        return *card.registers[size_t(a)].changed_at > *card.registers[size_t(b)].changed_at;
    });
    changed.resize(std::min(changed.size(), size_t(kRows)));
    return changed;
}

Line GridRow(const CardView& card, int row) {
    Line line{{cli::Hex(unsigned(row * kColumns), 2) + ": "}};
    const int first = row * kColumns;
    const int last = std::min(first + kColumns, static_cast<int>(card.registers.size()));
    for (int i = first; i < last; ++i) {
        const Cell& cell = card.registers[size_t(i)];
        line.push_back({" "});
        line.push_back({HexText(cell).substr(cell.value ? 2 : 0), cell.Changed()});
    }
    line.push_back({std::string(size_t(first + kColumns - last) * kCellWidth, ' ') + kGap});
    return line;
}

Span ChangeSpan(const CardView& card, int index) {
    const Cell& cell = card.registers[size_t(index)];
    return {cli::Hex(unsigned(index), 2) + " " + (cell.value ? Binary(*cell.value) : "--") + " " +
                ChangedText(cell),
            cell.Changed()};
}

}  // namespace

std::string Binary(uint8_t byte) {
    std::string bits;
    for (int bit = 7; bit >= 0; --bit)
        bits += (byte >> bit) & 1 ? '1' : '0';
    return bits;
}

std::string HexText(const Cell& cell) {
    return cell.value ? cli::PrefixedHex(*cell.value, 2) : "--";
}

std::string ChangedText(const Cell& cell) {
    return cell.changed_at ? TimeText(*cell.changed_at) : "-";
}

std::vector<Line> GridBody(const CardView& card) {
    std::string heads = "reg ";
    for (int column = 0; column < kColumns; ++column)
        heads += " +" + cli::Hex(unsigned(column), 1);
    std::vector<Line> lines{Line{{heads + kGap + "LAST CHANGED"}}};
    const std::vector<int> changed = LastChanged(card);
    for (int row = 0; row < kRows; ++row) {
        lines.push_back(GridRow(card, row));
        if (size_t(row) < changed.size())
            lines.back().push_back(ChangeSpan(card, changed[size_t(row)]));
    }
    const Cell& status = card.status;
    lines.push_back(Line{{"status: "},
                         {HexText(status), status.Changed()},
                         {"  "},
                         {status.value ? Binary(*status.value) : "--", status.Changed()},
                         {"  changed " + ChangedText(status)}});
    lines.push_back(Line{{"interrupt: not known without a card model"}});
    return lines;
}

}  // namespace watch
