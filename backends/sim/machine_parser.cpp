#include "machine_parser.h"

#include <algorithm>
#include <bitset>
#include <cstdio>
#include <iterator>
#include <map>
#include <vector>

#include "id_rows.h"
#include "machine_words.h"

namespace quorel::sim {

namespace {

constexpr size_t kBytesPerRow = 16;
constexpr size_t kRowCount = kConfigSpaceSize / kBytesPerRow;
constexpr size_t kMinRowDigits = 2;  // lspci prints "00:" below 0x100, "100:" above
constexpr size_t kMaxRowDigits = 3;
constexpr size_t kByteDigits = 2;
constexpr size_t kMaxValueDigits = 8;

constexpr std::string_view kWindowKeyword = "window";
constexpr std::string_view kFailReadKeyword = "fail-read";
constexpr std::string_view kFailInitKeyword = "fail-init";
constexpr std::string_view kRefuseMapKeyword = "refuse-map";
constexpr std::string_view kModelKeyword = "model";
constexpr std::string_view kKeywords[] = {kWindowKeyword, kFailReadKeyword, kFailInitKeyword,
                                          kRefuseMapKeyword, kModelKeyword};

// What a line may hold, for the message about one that holds neither.
std::string ExpectedLine() {
    std::string keywords;
    for (std::string_view keyword : kKeywords)
        keywords += (keywords.empty() ? "" : ", ") + std::string(keyword);
    return "expected a function header such as 00:1f.0, a row such as 10: 00 ..., "
           "or a directive (" + keywords + ")";
}

bool IsKeyword(std::string_view word) {
    return std::find(std::begin(kKeywords), std::end(kKeywords), word) != std::end(kKeywords);
}

// Directives act on the simulated machine, so only on domain 0000.
Address DirectiveAddress(std::string_view text) {
    DomainAddress where = ParseDomainAddress(text);
    if (where.domain != kSimulatedDomain)
        Fail("function " + Quoted(text) + " is outside PCI domain 0000, expected one in it: "
             "directives apply to the simulated machine");
    return where.at;
}

// A directive that names a function, kept until the whole file is read:
// the function, and the IDs that fix its window size, may come later.
struct Pending {
    size_t line;
    Address at;
    enum Kind { kWindow, kFailRead, kRefuseMap, kModel } kind;
    WindowBytes window;
    FailRead fail_read;
    std::string model_path;
};

class Parser {
public:
    // Throws LineError; line() then tells where (0: the file as a whole).
    void Parse(std::string_view text);
    size_t line() const { return line_; }
    bool saw_function() const { return !header_lines_.empty(); }
    // Empty, or what the machine lacks of the file: functions of other PCI
    // domains, functions without IDs.
    std::string Note() const;
    std::unique_ptr<Machine> machine = std::make_unique<Machine>();

private:
    void ParseLine(std::string_view line);
    void Header(std::string_view address);
    void HexRow(const Tokens& tokens);
    void Directive(const Tokens& tokens);
    void FailInit(const Tokens& args);
    void Window(const Tokens& args, Pending* pending);
    void FailReadLine(const Tokens& args, Pending* pending);
    void RefuseMap(const Tokens& args, Pending* pending);
    void Model(const Tokens& args, Pending* pending);
    void ApplyPending();
    void Apply(const Pending& pending);
    std::string LeftOutNote() const;

    // Where the rows go: a function of the machine, or left_out_rows_ for a
    // function of another domain, whose rows are checked but not kept.
    Function* current_ = nullptr;
    std::string current_name_;
    std::bitset<kRowCount> rows_seen_;
    Function left_out_rows_;
    std::map<uint64_t, size_t> header_lines_;  // by domain and location
    std::map<uint32_t, size_t> left_out_;      // functions by domain
    IdRows id_rows_;
    std::vector<Pending> pending_;
    size_t line_ = 0;
};

void Parser::Parse(std::string_view text) {
    while (!text.empty()) {
        size_t end = std::min(text.find('\n'), text.size());
        ++line_;
        ParseLine(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    line_ = 0;
    id_rows_.Check();
    ApplyPending();
}

// Rows and directives count wherever they start. Below a header, lspci -v
// and up print what they decode from the bytes, indented: none of it is a
// word these lines can start with, and the rows say it all again.
void Parser::ParseLine(std::string_view line) {
    Tokens tokens = Split(line);
    if (tokens.empty())
        return;
    std::string_view first = tokens.front();
    if (IsRowOffset(first))
        HexRow(tokens);
    else if (IsKeyword(first))
        Directive(tokens);
    else if (current_ && IsIndented(line))
        return;  // "\tControl: I/O- Mem+ ...", "\tCapabilities: [40] ..."
    else if (LooksLikeAddress(first))
        Header(first);  // the rest is lspci's description, free text
    else
        Fail("unrecognised line starting " + Quoted(first) + ", " + ExpectedLine());
}

void Parser::Header(std::string_view address) {
    DomainAddress where = ParseDomainAddress(address);
    auto [first, added] = header_lines_.emplace(DomainAddressKey(where), line_);
    if (!added)
        Fail("function " + Quoted(address) + " is listed twice, first at line " +
             std::to_string(first->second) + ", expected each function once");
    current_name_ = address;
    rows_seen_.reset();
    id_rows_.Function(current_name_, where.domain == kSimulatedDomain);
    if (where.domain == kSimulatedDomain) {
        current_ = &machine->Add(where.at);
        return;
    }
    ++left_out_[where.domain];
    current_ = &left_out_rows_;
}

std::string Parser::LeftOutNote() const {
    std::string note;
    for (const auto& [domain, count] : left_out_) {
        note += note.empty() ? "left out " : ", ";
        note += std::to_string(count) + (count == 1 ? " function" : " functions") +
                " of PCI domain " + DomainText(domain);
    }
    return note.empty() ? note : note + ": only domain 0000 is simulated";
}

std::string Parser::Note() const {
    std::string left_out = LeftOutNote(), no_ids = id_rows_.Note();
    return left_out + (left_out.empty() || no_ids.empty() ? "" : "; ") + no_ids;
}

void Parser::HexRow(const Tokens& tokens) {
    if (!current_)
        Fail("row " + Quoted(tokens[0]) +
             " comes before any function, expected a function header such as 00:1f.0 first");
    std::string_view offset_text = tokens[0].substr(0, tokens[0].size() - 1);
    uint32_t offset = 0;
    if (!ParseHexDigits(offset_text, kMinRowDigits, kMaxRowDigits, &offset) ||
        offset % kBytesPerRow != 0)
        Fail("bad offset " + Quoted(tokens[0]) + ", expected 00: to ff0: in steps of 10");
    if (tokens.size() != kBytesPerRow + 1)
        Fail("expected 16 bytes after " + Quoted(tokens[0]) + ", found " +
             std::to_string(tokens.size() - 1));
    if (rows_seen_[offset / kBytesPerRow])
        Fail("offset " + Quoted(tokens[0]) + " given twice for " + current_name_);
    rows_seen_.set(offset / kBytesPerRow);
    id_rows_.Row(offset);
    for (size_t i = 0; i < kBytesPerRow; ++i) {
        uint32_t byte = 0;
        if (!ParseHexDigits(tokens[i + 1], kByteDigits, kByteDigits, &byte))
            Fail("bad byte " + Quoted(tokens[i + 1]) + ", expected two hex digits");
        current_->config[offset + i] = static_cast<uint8_t>(byte);
    }
}

void Parser::Directive(const Tokens& tokens) {
    std::string_view keyword = tokens[0];
    Tokens args(tokens.begin() + 1, tokens.end());
    if (keyword == kFailInitKeyword)
        return FailInit(args);
    Pending pending{line_, {}, Pending::kRefuseMap, {}, {}, {}};
    if (keyword == kWindowKeyword)
        Window(args, &pending);
    else if (keyword == kFailReadKeyword)
        FailReadLine(args, &pending);
    else if (keyword == kModelKeyword)
        Model(args, &pending);
    else
        RefuseMap(args, &pending);
    pending.at = DirectiveAddress(args[0]);
    pending_.push_back(std::move(pending));
}

void Parser::FailInit(const Tokens& args) {
    if (!args.empty())
        Fail("usage: fail-init");
    machine->fail_init = true;
}

void Parser::RefuseMap(const Tokens& args, Pending* pending) {
    if (args.size() != 1)
        Fail("usage: refuse-map BB:DD.F");
    pending->kind = Pending::kRefuseMap;
}

// The path is the rest of the line as written, spaces and all.
void Parser::Model(const Tokens& args, Pending* pending) {
    if (args.size() < 2)
        Fail("usage: model BB:DD.F PATH");
    pending->kind = Pending::kModel;
    const char* end = args.back().data() + args.back().size();
    pending->model_path.assign(args[1].data(), end);
}

void Parser::Window(const Tokens& args, Pending* pending) {
    if (args.size() < 3)
        Fail("usage: window BB:DD.F OFFSET BYTE...");
    pending->kind = Pending::kWindow;
    pending->window.offset = HexValue(args[1], kMaxValueDigits);
    for (size_t i = 2; i < args.size(); ++i)
        pending->window.bytes.push_back(static_cast<uint8_t>(HexValue(args[i], kByteDigits)));
}

void Parser::FailReadLine(const Tokens& args, Pending* pending) {
    if (args.size() != 2 && args.size() != 3)
        Fail("usage: fail-read BB:DD.F OFFSET [N]");
    pending->kind = Pending::kFailRead;
    uint32_t offset = HexValue(args[1], kMaxValueDigits);
    if (offset >= kConfigSpaceSize)
        Fail("offset " + Quoted(args[1]) + " is beyond configuration space (below 0x1000)");
    pending->fail_read.offset = static_cast<uint16_t>(offset);
    pending->fail_read.nth = args.size() == 3 ? PositiveDecimal(args[2]) : 0;
}

// Errors here are reported at the directive's own line.
void Parser::ApplyPending() {
    for (const Address& at : machine->Addresses()) {
        Function* function = machine->Find(at);
        function->window_size = WindowSizeFor(*function);
    }
    for (const Pending& pending : pending_) {
        line_ = pending.line;
        Apply(pending);
    }
}

void Parser::Apply(const Pending& pending) {
    if (pending.kind == Pending::kFailRead)
        return machine->AddFailRead(pending.at, pending.fail_read);
    Function* function = machine->Find(pending.at);
    if (!function)
        Fail("no function " + FormatAddress(pending.at) + " in this file");
    if (pending.kind == Pending::kRefuseMap) {
        function->refuse_map = true;
        return;
    }
    if (pending.kind == Pending::kModel) {
        if (!function->model_path.empty())
            Fail("a second model for " + FormatAddress(pending.at) + ", expected one per function");
        function->model_path = pending.model_path;
        return;
    }
    uint64_t end = uint64_t{pending.window.offset} + pending.window.bytes.size();
    if (end > function->window_size)
        Fail("window bytes run past the end of the " + std::to_string(function->window_size) +
             "-byte window of " + FormatAddress(pending.at));
    function->window_init.push_back(pending.window);
}

}  // namespace

std::string FormatAddress(const Address& at) {
    char text[16];
    std::snprintf(text, sizeof(text), "%02x:%02x.%x", at.bus, at.device, at.function);
    return text;
}

std::unique_ptr<Machine> ParseMachine(std::string_view text, const std::string& source,
                                      std::string* error, std::string* warning) {
    Parser parser;
    try {
        parser.Parse(text);
    } catch (const LineError& failure) {
        const size_t line = parser.line();
        *error = source + (line ? ":" + std::to_string(line) : "") + ": " + failure.what;
        if (!parser.saw_function())  // likely not a dump at all (lspci -vmm, -t)
            *error += "; a machine file is what `sudo lspci -vvxxx` prints";
        return nullptr;
    }
    std::string note = parser.Note();
    if (warning)
        *warning = note.empty() ? note : source + ": " + note;
    return std::move(parser.machine);
}

}  // namespace quorel::sim
