// Writing a register as a command line or the watch's prompt names it: the
// whole register, or one field, read, changed and written back (or its bits
// alone where the register's writes act by ones).
#ifndef QUOREL_TOOLS_REGISTER_WRITE_H
#define QUOREL_TOOLS_REGISTER_WRITE_H

#include <string>

#include "cli.h"
#include "register_name.h"

namespace commands {

struct WriteOutcome {
    enum class Kind { kDone, kBadValue, kRefused } kind = Kind::kDone;
    // kDone: what was written, "CTRL (register 5): 0x05 -> 0x03" ("" for a
    // whole register); kBadValue, kRefused: why nothing was.
    std::string text;
    std::string note;  // kDone: "CTRL (register 5) is read-only: the card ignores the write"
};

// Writes value (a number, or a name of ref's field's values) to ref on the
// opened target. A refusal ends with how to write the whole register
// instead: `instead` followed by "NAME VALUE" ("quorel write 0 ").
WriteOutcome WriteReference(const cli::Target& target, const RegisterRef& ref,
                            const std::string& value, const std::string& instead);

}  // namespace commands

#endif  // QUOREL_TOOLS_REGISTER_WRITE_H
