#include "text_encoding.h"

#include <clocale>
#include <cstdlib>
#include <cstring>

#include "process_env/utf8.h"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#endif

namespace cli {

namespace {

namespace utf8 = quorel::process_env;

#ifdef _WIN32
constexpr char kLocale[] = ".ACP";  // the ANSI code page, as the library's callers mostly have
#else
constexpr char kLocale[] = "C.UTF-8";  // glibc has it built in
#endif

std::vector<std::string> ArgumentTexts(int argc, char** argv) {
#ifdef _WIN32
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> texts;
    for (int i = 0; wide && count == argc && i < count; ++i)
        texts.push_back(utf8::Utf8FromWide(wide[i]));
    LocalFree(wide);
    if (static_cast<int>(texts.size()) == argc)
        return texts;
#endif
    return std::vector<std::string>(argv, argv + argc);
}

}  // namespace

void UseLocalEncoding() {
    if (!std::setlocale(LC_CTYPE, kLocale))
        std::setlocale(LC_CTYPE, "");
#ifdef _WIN32
    // Our output is UTF-8: a console shows it as such while the tool runs,
    // and gets its own code page back when it ends.
    static const UINT before = GetConsoleOutputCP();
    if (before != 0 && before != CP_UTF8 && SetConsoleOutputCP(CP_UTF8))
        std::atexit([] { SetConsoleOutputCP(before); });
#endif
}

std::string FromLocal(const std::string& local) {
    const char* text = local.c_str();
    const size_t length = std::strlen(text);
    std::wstring wide;
    std::mbtowc(nullptr, nullptr, 0);
    for (size_t at = 0; at < length;) {
        wchar_t c = 0;
        const int used = std::mbtowc(&c, text + at, length - at);
        if (used <= 0) {
            std::mbtowc(nullptr, nullptr, 0);  // starts afresh after the bad byte
            c = static_cast<wchar_t>(utf8::kReplacement);
        }
        wide.push_back(c);
        at += used > 0 ? static_cast<size_t>(used) : 1;
    }
    return utf8::Utf8FromWide(wide);
}

std::string Shown(const std::string& text) { return utf8::Printable(text); }

std::filesystem::path PathOf(const std::string& text) { return std::filesystem::u8path(text); }

std::string PathText(const std::filesystem::path& path) { return path.u8string(); }

Utf8Arguments::Utf8Arguments(int argc, char** argv) : texts_(ArgumentTexts(argc, argv)) {
    for (std::string& t : texts_)
        pointers_.push_back(&t[0]);
    pointers_.push_back(nullptr);
}

}  // namespace cli
