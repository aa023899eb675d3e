// The watch's terminal in a Windows console, drawn with the console's own
// functions rather than VT sequences, so that it looks the same on every
// console, Wine's included (which accepts ENABLE_VIRTUAL_TERMINAL_PROCESSING
// yet shows the sequences as text): a screen buffer of its own, active while
// the watch runs, each line written at its row, highlights in swapped
// colours; keys read as console input records, Ctrl-C among them. A control
// handler turns Ctrl-Break and the console's closing into a stop.
#include <windows.h>

#include "process_env/utf8.h"
#include "watch/terminal.h"

namespace watch {

namespace {

constexpr wchar_t kCtrlC = 3;
constexpr WORD kColours = 0xFF;  // foreground and background, four bits each
constexpr int kColourBits = 4;
constexpr WORD kNibble = 0x0F;

HANDLE stop_event = nullptr;

BOOL WINAPI OnControl(DWORD) {
    SetEvent(stop_event);
    return TRUE;
}

WORD Reversed(WORD attributes) {
    const WORD swapped = static_cast<WORD>(((attributes & kNibble) << kColourBits) |
                                           ((attributes >> kColourBits) & kNibble));
    return static_cast<WORD>((attributes & ~kColours) | swapped);
}

std::optional<Key> KeyOf(const KEY_EVENT_RECORD& event) {
    using Kind = Key::Kind;
    switch (event.wVirtualKeyCode) {
    case VK_UP:
        return Key{Kind::kUp};
    case VK_DOWN:
        return Key{Kind::kDown};
    case VK_PRIOR:
        return Key{Kind::kPageUp};
    case VK_NEXT:
        return Key{Kind::kPageDown};
    case VK_RETURN:
        return Key{Kind::kEnter};
    case VK_BACK:
        return Key{Kind::kBackspace};
    case VK_ESCAPE:
        return Key{Kind::kEscape};
    }
    const wchar_t c = event.uChar.UnicodeChar;
    if (c == kCtrlC)
        return Key{Kind::kInterrupt};
    if (c >= L' ' && c < 0x7F)
        return Key{Kind::kText, static_cast<char>(c)};
    return std::nullopt;
}

}  // namespace

struct Terminal::Saved {
    HANDLE input = nullptr;
    HANDLE output = nullptr;  // the screen buffer active before
    HANDLE screen = nullptr;  // ours
    DWORD input_mode = 0;
    WORD normal = 0;  // the colours text had
};

bool OutputIsTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

bool InputIsTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

std::unique_ptr<Terminal> Terminal::Open(std::string& why) {
    auto saved = std::make_unique<Saved>();
    saved->input = GetStdHandle(STD_INPUT_HANDLE);
    saved->output = GetStdHandle(STD_OUTPUT_HANDLE);
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!GetConsoleMode(saved->input, &saved->input_mode) ||
        !GetConsoleScreenBufferInfo(saved->output, &info) ||
        (saved->screen = CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE,
                                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                   CONSOLE_TEXTMODE_BUFFER, nullptr)) ==
            INVALID_HANDLE_VALUE) {
        why = "the console cannot be taken over (error " + std::to_string(GetLastError()) + ")";
        return nullptr;
    }
    saved->normal = info.wAttributes;
    SetConsoleActiveScreenBuffer(saved->screen);
    const CONSOLE_CURSOR_INFO hidden{1, FALSE};
    SetConsoleCursorInfo(saved->screen, &hidden);
    // Keys one by one, unechoed, Ctrl-C among them; no selecting with the mouse.
    SetConsoleMode(saved->input, ENABLE_WINDOW_INPUT | ENABLE_EXTENDED_FLAGS);
    stop_event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(OnControl, TRUE);
    return std::unique_ptr<Terminal>(new Terminal(std::move(saved)));
}

Terminal::Terminal(std::unique_ptr<Saved> saved) : saved_(std::move(saved)) {}

Terminal::~Terminal() {
    Draw({});  // blank: a console that does not repaint the screen it returns to shows no frame
    SetConsoleCtrlHandler(OnControl, FALSE);
    SetConsoleMode(saved_->input, saved_->input_mode);
    SetConsoleActiveScreenBuffer(saved_->output);
    CloseHandle(saved_->screen);
    CloseHandle(stop_event);
    stop_event = nullptr;
}

Size Terminal::GetSize() {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!GetConsoleScreenBufferInfo(saved_->screen, &info))
        return Size{};
    return Size{info.srWindow.Right - info.srWindow.Left + 1,
                info.srWindow.Bottom - info.srWindow.Top + 1};
}

void Terminal::Draw(const std::vector<Line>& lines) {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!GetConsoleScreenBufferInfo(saved_->screen, &info))
        return;
    const SMALL_RECT& window = info.srWindow;
    DWORD done = 0;
    for (SHORT row = 0; row <= window.Bottom - window.Top; ++row) {
        COORD at{window.Left, static_cast<SHORT>(window.Top + row)};
        for (const Span& span : size_t(row) < lines.size() ? lines[size_t(row)] : Line{}) {
            const std::wstring text = quorel::process_env::WideFromUtf8(span.text);
            const DWORD length = static_cast<DWORD>(text.size());
            WriteConsoleOutputCharacterW(saved_->screen, text.c_str(), length, at, &done);
            FillConsoleOutputAttribute(saved_->screen,
                                       span.highlight ? Reversed(saved_->normal) : saved_->normal,
                                       length, at, &done);
            at.X = static_cast<SHORT>(at.X + length);
        }
        const DWORD rest = at.X <= window.Right ? DWORD(window.Right - at.X + 1) : 0;
        FillConsoleOutputCharacterW(saved_->screen, L' ', rest, at, &done);
        FillConsoleOutputAttribute(saved_->screen, saved_->normal, rest, at, &done);
    }
}

std::optional<Key> Terminal::ReadKey(int timeout_ms) {
    const HANDLE handles[] = {stop_event, saved_->input};
    if (WaitForMultipleObjects(2, handles, FALSE, DWORD(timeout_ms)) != WAIT_OBJECT_0 + 1)
        return std::nullopt;
    INPUT_RECORD record{};
    DWORD got = 0;
    if (!ReadConsoleInputW(saved_->input, &record, 1, &got) || got == 0 ||
        record.EventType != KEY_EVENT || !record.Event.KeyEvent.bKeyDown)
        return std::nullopt;  // a change of size, the mouse, a key let go: a redraw
    return KeyOf(record.Event.KeyEvent);
}

bool Terminal::Stopped() { return WaitForSingleObject(stop_event, 0) == WAIT_OBJECT_0; }

}  // namespace watch
