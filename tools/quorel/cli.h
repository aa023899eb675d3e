// Shared pieces of the quorel tool: parsed arguments, number parsing, the
// command table entry, and a small JSON writer.
#ifndef QUOREL_TOOLS_CLI_H
#define QUOREL_TOOLS_CLI_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorel {
struct DeviceRecord;
}

namespace cli {

struct Args {
    std::vector<std::string> positional;  // after the command name
    bool json = false;                     // --json
    std::optional<long long> board;        // --board N
    bool registers = false;                // --registers (snapshot)
    bool help = false;                     // --help, -h
    std::vector<std::string> options;      // every option given, in order
    bool force = false;                    // --force (snapshot)
};

struct Command {
    const char* name;
    const char* usage;    // arguments, e.g. "POS REG"
    const char* summary;
    unsigned min_args;    // positional arguments after the name
    unsigned max_args;
    int (*run)(const Args& args);
};

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;  // the operation ran and reported a failure
constexpr int kExitUsage = 2;    // bad arguments

// Decimal or 0x-prefixed hexadecimal, optionally negative; the whole text
// must be a number.
bool ParseNumber(const std::string& text, long long& out);
// Prints the message and the command's usage line to stderr; returns kExitUsage.
int UsageError(const Command& command, const std::string& message);
// "bb:dd.f" of a record, or of a bus number and devfn.
std::string AddressText(const quorel::DeviceRecord* record);
std::string AddressText(unsigned bus, unsigned devfn);
// Lowercase hexadecimal, at least `digits` digits: "0d", "fd000000".
std::string Hex(uint64_t value, int digits);
// The same with 0x, as tables show addresses and register values.
std::string PrefixedHex(uint64_t value, int digits);

// Builds JSON text; commas and nesting are tracked for the caller.
class Json {
public:
    Json& BeginObject();
    Json& EndObject();
    Json& BeginArray();
    Json& EndArray();
    Json& Key(const std::string& key);
    Json& Int(long long value);
    Json& Uint(uint64_t value);
    Json& Bool(bool value);
    Json& String(const std::string& value);
    Json& Null();
    const std::string& Text() const { return text_; }

private:
    void Separate();
    std::string text_;
    std::vector<bool> first_;  // per open container: nothing written yet
    bool after_key_ = false;
};

}  // namespace cli

#endif  // QUOREL_TOOLS_CLI_H
