#include "cli.h"

#include <cstdio>
#include <cstdlib>
#include <cerrno>

#include "api/inspect.h"
#include "process_env/utf8.h"

namespace cli {

bool ParseNumber(const std::string& text, long long& out) {
    if (text.empty())
        return false;
    bool negative = text[0] == '-';
    std::string digits = negative ? text.substr(1) : text;
    int base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        base = 16;
        digits = digits.substr(2);
    }
    if (digits.empty() || digits[0] == '+' || digits[0] == '-' || digits[0] == ' ')
        return false;
    char* end = nullptr;
    errno = 0;
    long long value = std::strtoll(digits.c_str(), &end, base);
    if (errno != 0 || *end != '\0')
        return false;
    out = negative ? -value : value;
    return true;
}

int UsageError(const Command& command, const std::string& message) {
    std::fprintf(stderr, "quorel %s: %s\nusage: quorel %s %s\n", command.name, message.c_str(),
                 command.name, command.usage);
    return kExitUsage;
}

std::string Hex(uint64_t value, int digits) {
    char buf[32];
    std::snprintf(buf, sizeof(buf), "%0*llx", digits, static_cast<unsigned long long>(value));
    return buf;
}

std::string PrefixedHex(uint64_t value, int digits) { return "0x" + Hex(value, digits); }

std::string AddressText(const quorel::DeviceRecord* r) { return AddressText(r->bus->number, r->devfn); }

std::string AddressText(unsigned bus, unsigned devfn) {
    return Hex(bus, 2) + ":" + Hex(quorel::DeviceOf(devfn), 2) + "." + Hex(quorel::FunctionOf(devfn), 1);
}

void Json::Separate() {
    if (after_key_) {
        after_key_ = false;
        return;
    }
    if (!first_.empty()) {
        if (!first_.back())
            text_ += ", ";
        first_.back() = false;
    }
}

Json& Json::BeginObject() {
    Separate();
    text_ += "{";
    first_.push_back(true);
    return *this;
}

Json& Json::EndObject() {
    first_.pop_back();
    text_ += "}";
    return *this;
}

Json& Json::BeginArray() {
    Separate();
    text_ += "[";
    first_.push_back(true);
    return *this;
}

Json& Json::EndArray() {
    first_.pop_back();
    text_ += "]";
    return *this;
}

Json& Json::Key(const std::string& key) {
    String(key);
    text_ += ": ";
    after_key_ = true;
    return *this;
}

Json& Json::Int(long long value) {
    Separate();
    text_ += std::to_string(value);
    return *this;
}

Json& Json::Uint(uint64_t value) {
    Separate();
    text_ += std::to_string(value);
    return *this;
}

Json& Json::Bool(bool value) {
    Separate();
    text_ += value ? "true" : "false";
    return *this;
}

Json& Json::Null() {
    Separate();
    text_ += "null";
    return *this;
}

Json& Json::String(const std::string& value) {
    Separate();
    text_ += '"';
    // Valid UTF-8 whatever the text held: a byte that is not becomes U+FFFD.
    for (char c : quorel::process_env::ValidUtf8(value)) {
        if (c == '"' || c == '\\') {
            text_ += '\\';
            text_ += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof(buf), "\\u%04x", c);
            text_ += buf;
        } else {
            text_ += c;
        }
    }
    text_ += '"';
    return *this;
}

}  // namespace cli
