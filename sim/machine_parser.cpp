#include "machine_parser.h"

#include <algorithm>
#include <bitset>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <vector>

namespace quorel::sim {

namespace {

using Tokens = std::vector<std::string_view>;

constexpr size_t kBytesPerRow = 16;
constexpr size_t kRowCount = kConfigSpaceSize / kBytesPerRow;
constexpr size_t kMinRowDigits = 2;  // lspci prints "00:" below 0x100, "100:" above
constexpr size_t kMaxRowDigits = 3;
constexpr size_t kByteDigits = 2;
constexpr size_t kMaxValueDigits = 8;
constexpr size_t kAddressLength = 7;  // "BB:DD.F"
constexpr std::string_view kOnlyDomain = "0000";

struct LineError {
    std::string what;
};

[[noreturn]] void Fail(std::string what) { throw LineError{std::move(what)}; }

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

bool IsHex(std::string_view text) {
    for (char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    }
    return !text.empty();
}

// Exactly min..max hex digits, no prefix.
bool ParseHexDigits(std::string_view text, size_t min, size_t max, uint32_t* value) {
    if (text.size() < min || text.size() > max || !IsHex(text))
        return false;
    std::from_chars(text.data(), text.data() + text.size(), *value, 16);
    return true;
}

// A directive's hex number: up to max digits, "0x" optional.
uint32_t HexValue(std::string_view text, size_t max_digits) {
    std::string_view digits = text;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X'))
        digits.remove_prefix(2);
    uint32_t value = 0;
    if (!ParseHexDigits(digits, 1, max_digits, &value))
        Fail("bad hex number " + Quoted(text));
    return value;
}

uint32_t PositiveDecimal(std::string_view text) {
    uint32_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value == 0)
        Fail("bad count " + Quoted(text) + ", expected a decimal number from 1");
    return value;
}

// "BB:DD.F" or "DDDD:BB:DD.F" with domain 0000.
Address ParseAddress(std::string_view text) {
    size_t last_colon = text.rfind(':');
    if (last_colon != std::string_view::npos && last_colon > 2) {
        std::string_view domain = text.substr(0, text.find(':'));
        if (IsHex(domain) && domain != kOnlyDomain)
            Fail("PCI domain " + Quoted(domain) + " is not simulated, only 0000");
        text.remove_prefix(domain.size() + 1);
    }
    uint32_t bus = 0, device = 0, function = 0;
    if (text.size() != kAddressLength || text[2] != ':' || text[5] != '.' ||
        !ParseHexDigits(text.substr(0, 2), 2, 2, &bus) ||
        !ParseHexDigits(text.substr(3, 2), 2, 2, &device) ||
        !ParseHexDigits(text.substr(6, 1), 1, 1, &function))
        Fail("bad function address " + Quoted(text) + ", expected BB:DD.F");
    if (device > kMaxDevice)
        Fail("device number in " + Quoted(text) + " is above 1f");
    if (function > kMaxFunction)
        Fail("function number in " + Quoted(text) + " is above 7");
    return Address{static_cast<uint8_t>(bus), static_cast<uint8_t>(device),
                   static_cast<uint8_t>(function)};
}

Tokens Split(std::string_view line) {
    Tokens tokens;
    size_t at = 0;
    while (true) {
        at = line.find_first_not_of(" \t\r", at);
        if (at == std::string_view::npos || line[at] == '#')
            return tokens;  // a '#' starts a comment
        size_t end = std::min(line.find_first_of(" \t\r#", at), line.size());
        tokens.push_back(line.substr(at, end - at));
        at = end;
    }
}

// A directive that names a function, kept until the whole file is read:
// the function, and the IDs that fix its window size, may come later.
struct Pending {
    size_t line;
    Address at;
    enum Kind { kWindow, kFailRead, kRefuseMap } kind;
    WindowBytes window;
    FailRead fail_read;
};

class Parser {
public:
    // Throws LineError; line() then tells where.
    void Parse(std::string_view text);
    size_t line() const { return line_; }
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
    void ApplyPending();
    void Apply(const Pending& pending);

    Function* current_ = nullptr;
    Address current_at_{};
    std::bitset<kRowCount> rows_seen_;
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
    ApplyPending();
}

void Parser::ParseLine(std::string_view line) {
    Tokens tokens = Split(line);
    if (tokens.empty())
        return;
    std::string_view first = tokens.front();
    if (first.back() == ':' && IsHex(first.substr(0, first.size() - 1)))
        HexRow(tokens);
    else if (first.find(':') != std::string_view::npos)
        Header(first);  // the rest is lspci's description, free text
    else
        Directive(tokens);
}

void Parser::Header(std::string_view address) {
    current_at_ = ParseAddress(address);
    if (machine->Find(current_at_))
        Fail("function " + FormatAddress(current_at_) + " is listed twice");
    current_ = &machine->Add(current_at_);
    rows_seen_.reset();
}

void Parser::HexRow(const Tokens& tokens) {
    if (!current_)
        Fail("hex line before any function header (BB:DD.F)");
    std::string_view offset_text = tokens[0].substr(0, tokens[0].size() - 1);
    uint32_t offset = 0;
    if (!ParseHexDigits(offset_text, kMinRowDigits, kMaxRowDigits, &offset) ||
        offset % kBytesPerRow != 0)
        Fail("bad offset " + Quoted(tokens[0]) + ", expected 00: to ff0: in steps of 10");
    if (tokens.size() != kBytesPerRow + 1)
        Fail("expected 16 bytes after " + Quoted(tokens[0]) + ", found " +
             std::to_string(tokens.size() - 1));
    if (rows_seen_[offset / kBytesPerRow])
        Fail("offset " + Quoted(tokens[0]) + " given twice for " + FormatAddress(current_at_));
    rows_seen_.set(offset / kBytesPerRow);
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
    if (keyword == "fail-init")
        return FailInit(args);
    Pending pending{line_, {}, Pending::kRefuseMap, {}, {}};
    if (keyword == "window")
        Window(args, &pending);
    else if (keyword == "fail-read")
        FailReadLine(args, &pending);
    else if (keyword == "refuse-map")
        RefuseMap(args, &pending);
    else
        Fail("unknown keyword " + Quoted(keyword));
    pending.at = ParseAddress(args[0]);
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
                                      std::string* error) {
    Parser parser;
    try {
        parser.Parse(text);
    } catch (const LineError& failure) {
        *error = source + ":" + std::to_string(parser.line()) + ": " + failure.what;
        return nullptr;
    }
    return std::move(parser.machine);
}

}  // namespace quorel::sim
