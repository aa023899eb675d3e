// What the fuzz targets share: a check that stops the run, the fuzz input
// cut into text fields, and the registry texts the targets build.
#ifndef QUOREL_FUZZ_FUZZ_SUPPORT_H
#define QUOREL_FUZZ_FUZZ_SUPPORT_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzz {

// Stops the run with a report (libFuzzer then saves the input): for
// properties the sanitizers cannot see.
[[noreturn]] void Fail(const char* what, const char* file, int line);
#define FUZZ_CHECK(condition) ((condition) ? (void)0 : ::fuzz::Fail(#condition, __FILE__, __LINE__))

// The input as wide text: UTF-8, a byte that is not part of it standing
// for itself, as a hand-written .reg file is read.
std::wstring WideText(const std::string& bytes);

// An input of a flags byte and `count` text fields after it, cut at NUL
// bytes; missing ones are empty, the last one takes the rest.
struct FlaggedInput {
    uint8_t flags = 0;
    std::vector<std::string> fields;
};
FlaggedInput ReadFlagged(const uint8_t* data, size_t size, size_t count);

// The current locale for the 8-bit copies the library makes: "C", where
// only ASCII converts, or a UTF-8 one.
void UseLocale(bool utf8);

// Building .reg text (regedit's version 5 format) line by line.
class RegText {
public:
    RegText();
    void Key(const std::wstring& path);  // [path]
    // "name"=hex(1):... : the text as UTF-16LE bytes, with its NUL or not,
    // so that any text (NULs and line breaks inside, no terminator) fits.
    void Text(const std::wstring& name, const std::wstring& text, bool terminated = true);
    // "DeviceDesc" and "ClassGUID", the two values both lookups copy.
    void DescriptionAndClass(const std::string& description, const std::string& class_guid,
                             bool terminated);
    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_;
};

// Loads the text into the native registry; false (with nothing loaded)
// when the reader refuses it.
bool LoadRegistry(const RegText& text);

}  // namespace fuzz

#endif  // QUOREL_FUZZ_FUZZ_SUPPORT_H
