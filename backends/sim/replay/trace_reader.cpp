#include "trace_reader.h"

#include <cctype>
#include <cstdint>

namespace quorel::sim::replay {

namespace {

constexpr std::string_view kHeader = "Quorel trace: ";
constexpr std::string_view kVersion = "version ";
constexpr std::string_view kIndent = "    ";
constexpr std::string_view kCallForm =
    "expected a call line such as '#7 t=1523.4us thread=5084 Quorel_out(5, 0x1AB) = 0 (0.8us)'";
constexpr size_t kQuoted = 60;  // of a line, in a message
constexpr int kVersionParts = 4;

// The line as a message quotes it: its start.
std::string Quoted(std::string_view line) {
    return "'" + std::string(line.substr(0, kQuoted)) + (line.size() > kQuoted ? "...'" : "'");
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

// Reads a line from its start, piece by piece.
class Scan {
public:
    explicit Scan(std::string_view text) : rest_(text) {}
    bool Eat(std::string_view literal) {
        if (rest_.substr(0, literal.size()) != literal)
            return false;
        rest_.remove_prefix(literal.size());
        return true;
    }
    // Up to `stop` (consumed), or false when there is none.
    bool Until(std::string_view stop, std::string_view* before) {
        const size_t at = rest_.find(stop);
        if (at == std::string_view::npos)
            return false;
        *before = rest_.substr(0, at);
        rest_.remove_prefix(at + stop.size());
        return true;
    }
    bool Number(int64_t* value, std::string_view stop) {
        std::string_view text;
        return Until(stop, &text) && ParseNumber(text, value);
    }
    // Digits with one decimal, then `unit`: "1523.4us".
    bool Time(std::string_view unit) {
        std::string_view text;
        if (!Until(unit, &text) || text.empty())
            return false;
        for (char c : text)
            if (!IsDigit(c) && c != '.')
                return false;
        return true;
    }
    std::string_view rest() const { return rest_; }

private:
    std::string_view rest_;
};

bool IsName(std::string_view name) {
    if (name.empty() || IsDigit(name[0]))
        return false;
    for (char c : name)
        if (!IsDigit(c) && c != '_' && !std::isalpha(static_cast<unsigned char>(c)))
            return false;
    return true;
}

std::vector<std::string> Arguments(std::string_view text) {
    std::vector<std::string> arguments;
    while (!text.empty()) {
        const size_t comma = text.find(", ");
        arguments.emplace_back(text.substr(0, comma));
        text = comma == std::string_view::npos ? "" : text.substr(comma + 2);
    }
    return arguments;
}

// "Quorel_out(5, 0x1AB) = 0" and what may follow the result (", ids {...}").
bool ReadCall(std::string_view text, TraceCall* call) {
    Scan scan(text);
    std::string_view name, arguments;
    if (!scan.Until("(", &name) || !IsName(name) || !scan.Until(")", &arguments))
        return false;
    call->name = std::string(name);
    call->text = std::string(text.substr(0, name.size() + arguments.size() + 2));
    call->arguments = Arguments(arguments);
    if (!scan.Eat(" = "))
        return false;
    const std::string_view rest = scan.rest();
    return ParseNumber(rest.substr(0, rest.find(", ")), &call->result);
}

// "#7 t=1523.4us thread=5084 CALL (0.8us)".
bool ReadCallLine(std::string_view line, TraceCall* call) {
    Scan scan(line);
    int64_t sequence = 0, thread = 0;
    if (!scan.Eat("#") || !scan.Number(&sequence, " t=") || !scan.Time("us thread=") ||
        !scan.Number(&thread, " ") || sequence < 0 || thread < 0)
        return false;
    const std::string_view rest = scan.rest();
    const size_t duration = rest.rfind(" (");
    if (duration == std::string_view::npos)
        return false;
    Scan end(rest.substr(duration + 2));
    if (!end.Time("us)") || !end.rest().empty())
        return false;
    call->sequence = static_cast<uint64_t>(sequence);
    call->thread = static_cast<uint64_t>(thread);
    return ReadCall(rest.substr(0, duration), call);
}

// "01:00.0", as the trace writes a card's location; lower case.
bool ReadLocation(std::string_view text, std::string* location) {
    if (text.size() != 7 || text[2] != ':' || text[5] != '.' || text[6] < '0' || text[6] > '7')
        return false;
    for (size_t i : {0, 1, 3, 4})
        if (!IsHexDigit(text[i]))
            return false;
    location->clear();
    for (char c : text)
        location->push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    return true;
}

// "card 0: 01:00.0, type 1, BAR0 0xFC800000" or "card 3: none".
bool ReadCardLine(Scan& scan, SearchedCard* card) {
    std::string_view location;
    int64_t type = 0, bar0 = 0;
    if (!scan.Number(&card->position, ": "))
        return false;
    if (scan.rest() == "none")
        return true;
    return scan.Until(", type ", &location) && ReadLocation(location, &card->location) &&
           scan.Number(&type, ", BAR0 ") && ParseNumber(scan.rest(), &bar0);
}

// The lines after a card's: its mapping and its board-ID register.
bool ReadCardDetail(Scan& scan, uint32_t line, SearchedCard* card) {
    int64_t value = 0;
    std::string_view skipped;
    if (scan.Eat("MapPhysToLin(address ")) {
        if (!scan.Until(") = ", &skipped) || !ParseNumber(scan.rest(), &value))
            return false;
        card->mapped = value != 0;
        return true;
    }
    if (scan.Eat("BAR0 "))
        return scan.Until(" is not mappable memory", &skipped);
    if (!scan.Eat("board-ID register ") || !scan.Number(&value, ": board ") || value < 0 ||
        value > 0xFF || !ParseNumber(scan.rest(), &card->board))
        return false;
    card->board_read = true;
    card->board_register = static_cast<uint8_t>(value);
    card->board_line = line;
    return true;
}

// One of the lines an open adds after its call line, without the indent.
bool ReadOpenDetail(std::string_view text, uint32_t line, TraceCall* open) {
    for (std::string_view ignored : {"driver: ", "windows: ", "functions found: "})
        if (text.substr(0, ignored.size()) == ignored)
            return true;
    Scan scan(text);
    if (scan.Eat("card ")) {
        open->search.emplace_back();
        return ReadCardLine(scan, &open->search.back());
    }
    if (open->search.empty() || open->search.back().location.empty())
        return false;
    return ReadCardDetail(scan, line, &open->search.back());
}

bool IsOpen(const TraceCall& call) {
    return call.name == "Quorel_open" || call.name == "Quorel_open2";
}

// "1.1.0.0" as numbers, missing parts 0; false when it is not a version.
bool ReadVersion(std::string_view text, int64_t (&parts)[kVersionParts]) {
    for (int64_t& part : parts)
        part = 0;
    for (int i = 0; i < kVersionParts && !text.empty(); ++i) {
        const size_t dot = text.find('.');
        const std::string_view digits = text.substr(0, dot);
        if (digits.empty() || digits[0] == '-' || !ParseNumber(digits, &parts[i]))
            return false;
        text = dot == std::string_view::npos ? "" : text.substr(dot + 1);
    }
    return text.empty();
}

// Whether a trace of `version` may be read by this build.
bool NotNewer(std::string_view version) {
    int64_t theirs[kVersionParts], ours[kVersionParts];
    ReadVersion(QUOREL_TRACE_VERSION, ours);
    ReadVersion(version, theirs);
    for (int i = 0; i < kVersionParts; ++i)
        if (theirs[i] != ours[i])
            return theirs[i] < ours[i];
    return true;
}

class Reader {
public:
    Reader(const std::string& file, Trace* trace) : trace_(trace) { trace_->file = file; }

    // The problem with line `number`, or "".
    std::string Line(std::string_view line, uint32_t number) {
        if (line.empty())
            return number == 1 ? NotATrace(line) : "";
        if (line.substr(0, kHeader.size()) == kHeader)
            return Header(line, number);
        if (trace_->runs == 0)
            return NotATrace(line);
        if (line.find(std::string(kHeader) + std::string(kVersion)) != std::string_view::npos)
            return "cut short: a run's header line begins in the middle of this line, after " +
                   Quoted(line.substr(0, line.find(kHeader))) + ": the run before it ends cut off";
        if (line[0] == '#')
            return Call(line, number);
        if (line.substr(0, kIndent.size()) == kIndent)
            return Detail(line, number);
        return "unrecognised line " + Quoted(line) + ", " + std::string(kCallForm);
    }

private:
    std::string NotATrace(std::string_view line) {
        return "not a trace: expected the line 'Quorel trace: version ...' that the trace DLLs "
               "begin each run with, found " + (line.empty() ? "an empty line" : Quoted(line));
    }

    std::string Header(std::string_view line, uint32_t number) {
        Scan scan(line.substr(kHeader.size()));
        std::string_view version;
        int64_t parts[kVersionParts];
        if (!scan.Eat(kVersion) || !scan.Until(",", &version) || !ReadVersion(version, parts))
            return "malformed header line " + Quoted(line) +
                   ", expected 'Quorel trace: version 1.1.0.0, 64-bit, ...'";
        if (!NotNewer(version))
            return "written by the trace DLL of version " + std::string(version) +
                   ", newer than this build's (" QUOREL_TRACE_VERSION
                   "): replay it with that version or a later one";
        ++trace_->runs;
        trace_->run_line = number;
        trace_->header = std::string(line.substr(kHeader.size()));
        trace_->calls.clear();
        return "";
    }

    std::string Call(std::string_view line, uint32_t number) {
        TraceCall call;
        call.line = number;
        if (!ReadCallLine(line, &call))
            return "malformed call line " + Quoted(line) + ", " + std::string(kCallForm);
        trace_->calls.push_back(std::move(call));
        return "";
    }

    std::string Detail(std::string_view line, uint32_t number) {
        if (trace_->calls.empty() || !IsOpen(trace_->calls.back()))
            return "indented line " + Quoted(line) +
                   " does not follow an open: only Quorel_open and Quorel_open2 add such lines";
        if (!ReadOpenDetail(line.substr(kIndent.size()), number, &trace_->calls.back()))
            return "unrecognised line after an open " + Quoted(line) +
                   ", expected one such as '    card 0: 01:00.0, type 1, BAR0 0xFC800000'";
        return "";
    }

    Trace* trace_;
};

}  // namespace

bool ParseNumber(std::string_view text, int64_t* value) {
    const bool negative = !text.empty() && text[0] == '-';
    text.remove_prefix(negative ? 1 : 0);
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    text.remove_prefix(hex ? 2 : 0);
    const uint64_t base = hex ? 16 : 10;
    uint64_t number = 0;
    for (char c : text) {
        if (!(hex ? IsHexDigit(c) : IsDigit(c)))
            return false;
        const uint64_t digit = static_cast<uint64_t>(IsDigit(c) ? c - '0' : std::tolower(c) - 'a' + 10);
        if (number > (uint64_t{INT64_MAX} - digit) / base)
            return false;
        number = number * base + digit;
    }
    *value = negative ? -static_cast<int64_t>(number) : static_cast<int64_t>(number);
    return !text.empty();
}

bool ReadTrace(std::string_view text, const std::string& file, Trace* trace, std::string* problem) {
    *trace = Trace{};
    if (text.empty()) {
        *problem = file + ":1: not a trace: the file is empty";
        return false;
    }
    Reader reader(file, trace);
    uint32_t number = 0;
    do {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        ++number;
        if (end == std::string_view::npos && !line.empty()) {
            *problem = file + ":" + std::to_string(number) + ": cut short: the file ends in the " +
                       "middle of this line, " + Quoted(line) + ", without its line end";
            return false;
        }
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const std::string fault = reader.Line(line, number);
        if (!fault.empty()) {
            *problem = file + ":" + std::to_string(number) + ": " + fault;
            return false;
        }
        text = end == std::string_view::npos ? "" : text.substr(end + 1);
    } while (!text.empty());
    return true;
}

}  // namespace quorel::sim::replay
