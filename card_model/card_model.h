// A card model: how one card's registers behave, read from a TOML file
// (docs/card-model.md). The description only, as the file says it; the
// behaviour at run time is CardState's (card_state.h). Used by the stand-in,
// which makes a modelled card behave, and by the quorel tool, which names
// registers and fields with it over any driver.
#ifndef QUOREL_CARD_MODEL_CARD_MODEL_H
#define QUOREL_CARD_MODEL_CARD_MODEL_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorel::card_model {

// The card's layout: register n at window offset n * 4, n = 0..254; the
// control/status register at 1020.
constexpr unsigned kRegisterCount = 255;
constexpr unsigned kRegisterStride = 4;
constexpr unsigned kStatusOffset = 1020;
// A model has at most this many [[event]]s: a card's state has a fixed
// size (card_state_data.h).
constexpr unsigned kMaxEvents = 64;

enum class Access { kReadWrite, kReadOnly, kWriteOnly };
enum class WriteEffect { kModify, kOneToClear, kOneToSet, kOneToToggle };
enum class ReadEffect { kNone, kClear, kSet };  // applied after the read

struct Field {
    std::string name;
    uint8_t low = 0;   // bit numbers, 0..7, low <= high
    uint8_t high = 0;
    // Named values, in the file's order.
    std::vector<std::pair<std::string, uint8_t>> values;
    size_t line = 0;

    uint8_t Mask() const { return static_cast<uint8_t>((0xFFu >> (7 - high + low)) << low); }
    uint8_t Get(uint8_t byte) const { return static_cast<uint8_t>((byte & Mask()) >> low); }
    // The value's name, or empty.
    std::string_view NameOf(uint8_t value) const;
};

struct Source {
    enum class Kind { kNone, kSequence, kCounter, kConstant } kind = Kind::kNone;
    std::vector<uint8_t> sequence;  // kSequence: the file's bytes, at least one
    std::string file;               // kSequence: the file as resolved
    bool loop = false;              // kSequence: start over after the last
    uint8_t start = 0, step = 1;    // kCounter
    uint8_t constant = 0;           // kConstant

    // Whether a read moves it on (a sequence of more than one byte, a
    // counter whose step is not 0).
    bool Advances() const;
};

struct Register {
    std::string name;
    uint8_t index = 0;  // 0..254
    uint8_t reset = 0;
    // reset = "machine": the register starts and resets at what it held
    // before the model (the machine file's byte), as an unnamed one does.
    bool reset_from_machine = false;
    Access access = Access::kReadWrite;
    WriteEffect write = WriteEffect::kModify;
    ReadEffect read = ReadEffect::kNone;
    uint8_t fill = 0;  // what a write-only register reads as
    std::vector<Field> fields;
    Source source;
    size_t line = 0;

    const Field* FindField(std::string_view name) const;
    // A read changes the card: a read action, or a source that advances.
    // The tool reads such a register only when asked.
    bool ReadHasSideEffect() const;
};

// What an action or an event names: a register or the control/status
// register, whole or one field of it.
struct Target {
    bool status = false;   // the control/status register
    uint8_t index = 0;     // the register, when not status
    uint8_t mask = 0xFF;   // the field's bits, 0xFF for the whole register
    bool field = false;    // a field (whose bits may be all eight), else the register
    std::string text;      // as the file wrote it: "CTRL.START", "csr.IE"
};

struct Action {
    enum class Kind { kReset, kSet, kClear, kToggle, kWrite } kind = Kind::kReset;
    Target target;       // not for kReset
    uint8_t value = 0;   // kWrite: the register's value, or the field's (not shifted)
    std::string text;    // as the file wrote it: "write SAMPLE 0x10"
};

struct Command {
    uint8_t byte = 0;
    std::string name;  // may be empty
    std::vector<Action> actions;
    size_t line = 0;
};

struct Event {
    uint64_t every_us = 0;          // periodic when not 0
    std::optional<Target> after_write;  // else armed by a write that sets this
    uint64_t delay_us = 0;          // with after_write
    std::vector<Action> actions;
    size_t line = 0;
};

struct CardModel {
    std::string name;  // may be empty
    std::string file;  // the model file, as it was named
    std::vector<Register> registers;  // in the file's order
    uint8_t status_reset = 0;
    std::vector<Field> status_fields;
    std::vector<Command> commands;
    std::optional<Target> pending;  // [interrupt]
    std::optional<Target> enable;
    std::vector<Event> events;
    // A digest of the file's text and its sequences' bytes: models with
    // the same one behave alike.
    uint64_t fingerprint = 0;

    const Register* FindRegister(uint8_t index) const;
    const Register* FindRegister(std::string_view name) const;
    const Command* FindCommand(uint8_t byte) const;
    const Field* FindStatusField(std::string_view name) const;
};

// One thing wrong with a model file: "FILE:LINE: what was expected" (line 0:
// the file as a whole).
struct Problem {
    std::string file;
    size_t line = 0;
    std::string message;

    std::string Text() const;
};

// Reads a sequence source's file: its text, or false with why it could not.
using ReadFileFunction =
    std::function<bool(const std::string& path, std::string* text, std::string* why)>;

// Reads a model from text; path names it in problems, and a sequence file's
// path is relative to path's folder. Returns the model, or null with every
// problem found (at least one): a model is loaded whole or not at all.
std::shared_ptr<const CardModel> ParseCardModel(std::string_view text, const std::string& path,
                                                const ReadFileFunction& read_file,
                                                std::vector<Problem>* problems);

// The same for a file, read with process_env's ReadTextFile.
std::shared_ptr<const CardModel> ReadCardModel(const std::string& path,
                                               std::vector<Problem>* problems);

}  // namespace quorel::card_model

#endif  // QUOREL_CARD_MODEL_CARD_MODEL_H
