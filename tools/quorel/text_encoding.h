// Text as the tool prints it: UTF-8, table and JSON alike. The library's
// records hold 8-bit text, converted from the registry's wide text in the
// C runtime's character locale (wcstombs), which the tool sets at its
// start: the ANSI code page on Windows, UTF-8 natively. Arguments and
// paths are UTF-8 too; on Windows they come from the wide command line
// and reach files through their wide names.
#ifndef QUOREL_TOOLS_TEXT_ENCODING_H
#define QUOREL_TOOLS_TEXT_ENCODING_H

#include <filesystem>
#include <string>
#include <vector>

namespace cli {

// Sets the C runtime's character locale, before the library's first text.
void UseLocalEncoding();

// The library's 8-bit text (up to a NUL) as UTF-8; a byte the locale
// cannot convert becomes U+FFFD.
std::string FromLocal(const std::string& text);

// For a table line: control characters written out ("\x1b", "\n"), so that
// a registry text or a file's content cannot steer the terminal.
std::string Shown(const std::string& text);

// A UTF-8 path as std::filesystem takes it, and back.
std::filesystem::path PathOf(const std::string& text);
std::string PathText(const std::filesystem::path& path);

// The command line as UTF-8: on Windows from the wide command line (the
// char* arguments hold only what the ANSI code page can), else as given.
class Utf8Arguments {
public:
    Utf8Arguments(int argc, char** argv);
    char** argv() { return pointers_.data(); }

private:
    std::vector<std::string> texts_;
    std::vector<char*> pointers_;
};

}  // namespace cli

#endif  // QUOREL_TOOLS_TEXT_ENCODING_H
