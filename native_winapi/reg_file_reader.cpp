#include "native_winapi/reg_file_reader.h"

#include <algorithm>
#include <optional>

#include "native_winapi/reg_text.h"
#include "process_env/process_env.h"

namespace native_winapi::registry {

namespace {

constexpr std::wstring_view kVersion5Header = L"Windows Registry Editor Version 5.00";
constexpr std::wstring_view kVersion4Header = L"REGEDIT4";
constexpr std::wstring_view kBlanks = L" \t\r";  // \r: the ends of CRLF lines
constexpr std::wstring_view kDwordPrefix = L"dword:";
constexpr std::wstring_view kHexPrefix = L"hex";
constexpr std::wstring_view kHexTypeEnd = L"):";
constexpr size_t kDwordDigits = 8;
constexpr size_t kByteDigits = 2;
constexpr size_t kTypeDigits = 8;
constexpr size_t kDwordBytes = 4;
constexpr unsigned kBitsPerByte = 8;
constexpr wchar_t kQuote = L'"';
constexpr wchar_t kEscape = L'\\';
constexpr wchar_t kContinuation = L'\\';
constexpr wchar_t kDefaultValue = L'@';
constexpr wchar_t kDeletion = L'-';
constexpr wchar_t kComment = L';';
constexpr wchar_t kByteSeparator = L',';

struct LineError {
    std::string what;
};

[[noreturn]] void Fail(std::string what) { throw LineError{std::move(what)}; }

std::string Quoted(std::wstring_view text) { return "'" + ToUtf8(text) + "'"; }

std::wstring_view Trim(std::wstring_view text) {
    size_t start = text.find_first_not_of(kBlanks);
    if (start == std::wstring_view::npos)
        return {};
    return text.substr(start, text.find_last_not_of(kBlanks) - start + 1);
}

bool StartsWith(std::wstring_view text, std::wstring_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    wchar_t lower = c | 0x20;  // ASCII letters to lower case
    return lower >= L'a' && lower <= L'f' ? lower - L'a' + 10 : -1;
}

// 1 to max_digits hex digits, nothing else.
bool ParseHex(std::wstring_view digits, size_t max_digits, uint32_t* value) {
    if (digits.empty() || digits.size() > max_digits)
        return false;
    *value = 0;
    for (wchar_t c : digits) {
        if (HexDigit(c) < 0)
            return false;
        *value = *value << 4 | static_cast<uint32_t>(HexDigit(c));
    }
    return true;
}

// Not memcpy: an empty text (hex(1): without bytes) has no bytes to copy
// into, and memcpy must not be handed the null pointer of an empty vector.
std::vector<BYTE> TextBytes(const std::wstring& units) {
    const BYTE* first = reinterpret_cast<const BYTE*>(units.data());
    return std::vector<BYTE>(first, first + units.size() * sizeof(WCHAR));
}

bool IsTextType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

class Reader {
public:
    explicit Reader(Hives* hives) : hives_(hives) {}
    void Read(std::wstring_view text);  // throws LineError; line() tells where
    size_t line() const { return line_; }

private:
    void Header(std::wstring_view line);
    void Line(std::wstring_view line);
    void Section(std::wstring_view inner);
    void ValueLine(std::wstring_view line);
    void Data(std::wstring name, std::wstring_view data);
    void HexStart(std::wstring name, std::wstring_view data);
    void HexBytes(std::wstring_view piece);
    std::wstring HexText(const std::vector<BYTE>& bytes) const;
    void Store(Value value);

    Hives* hives_;
    KeyNode* key_ = nullptr;         // the current section's key
    bool in_deletion_ = false;   // in a [-...] section: its values are dropped
    bool utf16_text_ = true;     // how hex(1), hex(2), hex(7) bytes encode text
    std::optional<Value> hex_;   // a hex value continued on the next line
    size_t line_ = 0;
};

void Reader::Read(std::wstring_view text) {
    size_t at = 0;
    do {
        size_t end = std::min(text.find(L'\n', at), text.size());
        std::wstring_view line = text.substr(at, end - at);
        ++line_;
        if (line_ == 1)
            Header(line);
        else if (hex_)
            HexBytes(line);
        else
            Line(line);
        at = end + 1;
    } while (at <= text.size());
    if (hex_)
        Fail("the file ends inside the data of value " + Quoted(hex_->name) +
             ", expected more hex bytes after the backslash");
}

void Reader::Header(std::wstring_view line) {
    line = Trim(line);
    if (line != kVersion5Header && line != kVersion4Header)
        Fail("not a registry file, expected 'Windows Registry Editor Version 5.00' or 'REGEDIT4'"
             " on the first line");
    utf16_text_ = line == kVersion5Header;
}

void Reader::Line(std::wstring_view line) {
    line = Trim(line);
    if (line.empty() || line[0] == kComment)
        return;
    if (line[0] == L'[') {
        if (line.back() != L']')
            Fail("key line " + Quoted(line) + " without its closing ], expected [ROOT\\path]");
        return Section(line.substr(1, line.size() - 2));
    }
    if (line[0] == kQuote || line[0] == kDefaultValue)
        return ValueLine(line);
    Fail("unexpected text " + Quoted(line) +
         ", expected a [key] line, a \"name\"=data line or a ; comment");
}

// Windows' registry functions take names as NUL-terminated text: a name
// holding a NUL could be stored, but never named or listed whole again.
void RefuseNul(std::wstring_view text, const char* what) {
    if (text.find(L'\0') != std::wstring_view::npos)
        Fail(std::string("a NUL character in the ") + what + ", expected names of text only");
}

void Reader::Section(std::wstring_view inner) {
    RefuseNul(inner, "key line");
    bool deletion = !inner.empty() && inner[0] == kDeletion;
    std::vector<std::wstring_view> parts = Split(inner.substr(deletion ? 1 : 0), kSeparator);
    KeyNode* key = hives_->Root(parts[0]);
    if (!key)
        Fail("unknown root " + Quoted(parts[0]) +
             ", expected HKEY_LOCAL_MACHINE, HKLM or HKEY_DYN_DATA");
    if (std::find(parts.begin() + 1, parts.end(), std::wstring_view()) != parts.end())
        Fail("empty key name in " + Quoted(inner) + ", expected names between single backslashes");
    if (deletion && parts.size() == 1)
        Fail("a root key cannot be deleted, expected [-ROOT\\path]");
    in_deletion_ = deletion;
    for (size_t i = 1; key && i + (deletion ? 1 : 0) < parts.size(); ++i)
        key = deletion ? key->Find(parts[i]) : &key->Child(parts[i]);
    if (deletion && key)
        key->RemoveChild(parts.back());
    key_ = deletion ? nullptr : key;
}

// The text between double quotes at the start of *rest, with \\ and \"
// unescaped; *rest is left after the closing quote.
std::wstring QuotedText(std::wstring_view* rest, const char* what) {
    std::wstring text;
    for (size_t i = 1; i < rest->size(); ++i) {
        wchar_t c = (*rest)[i];
        if (c == kQuote) {
            rest->remove_prefix(i + 1);
            return text;
        }
        if (c == kEscape && ++i < rest->size()) {
            c = (*rest)[i];
            if (c != kEscape && c != kQuote)
                Fail("unknown escape " + Quoted(std::wstring{kEscape, c}) + " in the " + what +
                     ", expected \\\\ or \\\"");
        }
        text.push_back(c);
    }
    Fail(std::string("unterminated ") + what + ", expected a closing \"");
}

void Reader::ValueLine(std::wstring_view line) {
    if (!key_ && !in_deletion_)
        Fail("value before any [key] line, expected a [ROOT\\path] line first");
    std::wstring name;  // @ names the key's default value, whose name is empty
    if (line[0] == kDefaultValue)
        line.remove_prefix(1);
    else
        name = QuotedText(&line, "value name");
    RefuseNul(name, "value name");
    line = Trim(line);
    if (line.empty() || line[0] != L'=')
        Fail("no = after value name " + Quoted(name) + ", expected \"name\"=data");
    Data(std::move(name), Trim(line.substr(1)));
}

void Reader::Data(std::wstring name, std::wstring_view data) {
    if (!data.empty() && data[0] == kQuote) {
        std::wstring text = QuotedText(&data, "string");
        if (!Trim(data).empty())
            Fail("unexpected text " + Quoted(Trim(data)) + " after the string, expected the end of the line");
        return Store(Value{std::move(name), REG_SZ, TextBytes(text + L'\0')});
    }
    if (data.size() == 1 && data[0] == kDeletion) {
        if (key_)
            key_->RemoveValue(name);
        return;
    }
    if (StartsWith(data, kDwordPrefix)) {
        uint32_t number = 0;
        if (!ParseHex(data.substr(kDwordPrefix.size()), kDwordDigits, &number))
            Fail("bad dword " + Quoted(data) + ", expected dword: and 1 to 8 hex digits");
        std::vector<BYTE> bytes(kDwordBytes);
        for (size_t i = 0; i < kDwordBytes; ++i)  // little-endian, as on x86
            bytes[i] = static_cast<BYTE>(number >> (kBitsPerByte * i));
        return Store(Value{std::move(name), REG_DWORD, std::move(bytes)});
    }
    if (StartsWith(data, kHexPrefix))
        return HexStart(std::move(name), data.substr(kHexPrefix.size()));
    Fail("bad data " + Quoted(data) + " for value " + Quoted(name) +
         ", expected \"text\", dword:, hex:, hex(N): or -");
}

// After "hex": either ":" (REG_BINARY) or "(N):" with the type in hex.
void Reader::HexStart(std::wstring name, std::wstring_view data) {
    uint32_t type = REG_BINARY;
    if (!data.empty() && data[0] == L'(') {
        size_t end = data.find(kHexTypeEnd);
        if (end == std::wstring_view::npos || !ParseHex(data.substr(1, end - 1), kTypeDigits, &type))
            Fail("bad value type in " + Quoted(data) + ", expected hex(N): with N in hex");
        data.remove_prefix(end + 1);
    }
    if (data.empty() || data[0] != L':')
        Fail("bad data " + Quoted(data) + ", expected hex: or hex(N):");
    hex_ = Value{std::move(name), type, {}};
    HexBytes(data.substr(1));
}

// One line's share of a hex value: bytes separated by commas, ending in a
// backslash when the value goes on on the next line.
void Reader::HexBytes(std::wstring_view piece) {
    piece = Trim(piece);
    bool continues = !piece.empty() && piece.back() == kContinuation;
    if (continues)
        piece = Trim(piece.substr(0, piece.size() - 1));
    std::vector<std::wstring_view> bytes = Split(piece, kByteSeparator);
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::wstring_view digits = Trim(bytes[i]);
        uint32_t byte = 0;
        if (digits.empty() && i + 1 == bytes.size())
            break;  // after a trailing comma, or no bytes at all
        if (!ParseHex(digits, kByteDigits, &byte))
            Fail("bad hex byte " + Quoted(digits) + " in value " + Quoted(hex_->name) +
                 ", expected two hex digits");
        hex_->data.push_back(static_cast<BYTE>(byte));
    }
    if (continues)
        return;
    Value value = std::move(*hex_);
    hex_.reset();
    if (IsTextType(value.type))
        value.data = TextBytes(HexText(value.data));
    Store(std::move(value));
}

std::wstring Reader::HexText(const std::vector<BYTE>& bytes) const {
    if (utf16_text_)
        return FromUtf16Le(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    return std::wstring(bytes.begin(), bytes.end());
}

void Reader::Store(Value value) {
    if (!key_)
        return;  // a value of a deleted key's section
    key_->SetValue(std::move(value));
}

}  // namespace

bool ReadRegFile(std::string_view bytes, const std::string& name, Hives* hives,
                 std::string* error) {
    Reader reader(hives);
    try {
        reader.Read(DecodeRegText(bytes));
        return true;
    } catch (const LineError& failure) {
        *error = name + ":" + std::to_string(reader.line()) + ": " + failure.what;
        return false;
    }
}

bool ReadRegFileAt(const std::string& path, Hives* hives, std::string* error) {
    std::string bytes, why;
    if (quorel::process_env::ReadTextFile(path, &bytes, &why))
        return ReadRegFile(bytes, path, hives, error);
    *error = path + ": cannot read the file: " + why;
    return false;
}

}  // namespace native_winapi::registry
