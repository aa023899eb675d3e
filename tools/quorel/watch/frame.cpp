#include "watch/frame.h"

#include <algorithm>
#include <cstdio>

#include "model_text.h"
#include "watch/frame_parts.h"

namespace watch {

namespace {

constexpr char kHighlightOn[] = "\x1b[7m";
constexpr char kHighlightOff[] = "\x1b[27m";
constexpr size_t kMessageLines = 3;
constexpr char kKeys[] = "keys: w write/read  r reset  e enable  d disable  a ack  p ";

Line Plain(std::string text) { return Line{Span{std::move(text)}}; }

std::string IntervalText(double seconds) {
    char text[48];
    std::snprintf(text, sizeof(text), "every %g s", seconds);
    return text;
}

Line Title(const CardView& card, const Screen& screen) {
    const std::string time = card.refreshed ? TimeText(*card.refreshed) : "-";
    return Line{{screen.title + "  "},
                {screen.paused ? "PAUSED" : IntervalText(screen.interval), screen.paused},
                {"  " + time}};
}

std::vector<Line> Head(const CardView& card, const Screen& screen) {
    const std::string model = screen.model ? commands::ModelTitle(*screen.model)
                                           : "none (--model PATH names registers and fields)";
    return {Title(card, screen), Plain("model: " + model)};
}

// The text in lines of at most `width` columns (0: one line), broken at
// spaces; at most `most` lines, the last cut short.
std::vector<Line> Wrapped(const std::string& text, int width, size_t most) {
    std::vector<Line> lines{Plain("")};
    for (size_t at = 0; at < text.size();) {
        const size_t end = std::min(text.find(' ', at + 1), text.size());
        std::string& line = lines.back().front().text;
        if (width && !line.empty() && Columns(line) + (end - at) > size_t(width) &&
            lines.size() < most) {
            lines.push_back(Plain(""));
            ++at;  // the space the line broke at
            continue;
        }
        line += text.substr(at, end - at);
        at = end;
    }
    return lines;
}

std::vector<Line> Foot(const Screen& screen) {
    if (!screen.live)
        return {};
    const std::string keys =
        std::string(kKeys) + (screen.paused ? "resume" : "pause") + "  q quit";
    std::vector<Line> lines = Wrapped(screen.message, screen.width, kMessageLines);
    lines.push_back(Plain(screen.prompt ? "> " + *screen.prompt + "_" : keys));
    return lines;
}

// The span's first `columns` characters.
std::string CutText(const std::string& text, size_t columns) {
    size_t at = 0;
    for (size_t seen = 0; at < text.size(); ++at) {
        const bool starts = (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80;
        if (starts && seen++ == columns)
            break;
    }
    return text.substr(0, at);
}

Line Cut(const Line& line, size_t width) {
    Line cut;
    size_t used = 0;
    for (const Span& span : line) {
        if (used >= width)
            break;
        cut.push_back({CutText(span.text, width - used), span.highlight});
        used += Columns(cut.back().text);
    }
    return cut;
}

// The body's rows: with a model, as many of its registers as the height
// leaves room for.
std::vector<Line> Body(const CardView& card, const Screen& screen, int spare) {
    if (!screen.model)
        return GridBody(card);
    const int rows = screen.height ? spare - ModelBodyFixedLines(card, screen) : 0;
    return ModelBody(card, screen, screen.height ? std::max(rows, 1) : 0);
}

std::string Trimmed(std::string text) {
    text.erase(text.find_last_not_of(' ') + 1);  // all spaces: npos + 1 is 0
    return text;
}

}  // namespace

size_t Columns(const std::string& text) {
    size_t columns = 0;
    for (const char c : text)
        columns += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return columns;
}

size_t Columns(const Line& line) {
    size_t columns = 0;
    for (const Span& span : line)
        columns += Columns(span.text);
    return columns;
}

std::vector<Line> Frame(const CardView& card, const Screen& screen) {
    std::vector<Line> lines = Head(card, screen);
    const std::vector<Line> foot = Foot(screen);
    const int spare = screen.height - static_cast<int>(lines.size() + foot.size());
    for (const Line& line : Body(card, screen, spare))
        lines.push_back(line);
    if (screen.height && spare >= 0 && lines.size() + foot.size() > size_t(screen.height))
        lines.resize(static_cast<size_t>(screen.height) - foot.size());
    lines.insert(lines.end(), foot.begin(), foot.end());
    if (screen.height && lines.size() > size_t(screen.height))
        lines.erase(lines.begin(), lines.end() - screen.height);
    for (Line& line : lines)
        if (screen.width)
            line = Cut(line, static_cast<size_t>(screen.width));
    return lines;
}

std::string LineText(const Line& line, bool ansi) {
    std::string text;
    for (const Span& span : line)
        text += ansi && span.highlight ? kHighlightOn + span.text + kHighlightOff : span.text;
    return text;
}

std::string FrameText(const std::vector<Line>& lines) {
    std::string text;
    for (const Line& line : lines)
        text += Trimmed(LineText(line, false)) + "\n";
    return text;
}

}  // namespace watch
