// The watch's terminal on Linux: termios without line editing, echo or
// signal keys (Ctrl-C arrives as a key), VT sequences on the alternate
// screen. SIGINT, SIGTERM and SIGHUP stop it; SIGWINCH wakes it to redraw.
// Those signals are blocked but while it waits for a key (ppoll), so one
// never arrives between a check and the wait.
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "watch/terminal.h"

namespace watch {

namespace {

constexpr int kCaught[] = {SIGINT, SIGTERM, SIGHUP, SIGWINCH};
constexpr size_t kCaughtCount = sizeof(kCaught) / sizeof(kCaught[0]);
// The alternate screen, cleared, without a cursor; and back.
constexpr char kTakeScreen[] = "\x1b[?1049h\x1b[?25l\x1b[H\x1b[2J";
constexpr char kGiveScreen[] = "\x1b[?25h\x1b[?1049l";
constexpr int kEscapeWaitMs = 30;  // an Escape with nothing after it within this is the key
constexpr int kMsPerSecond = 1000;
constexpr long kNsPerMs = 1000000;
constexpr char kEscape = '\x1b';
constexpr char kCtrlC = '\x03';
constexpr char kDelete = '\x7f';
constexpr char kCtrlH = '\x08';

volatile sig_atomic_t stop_asked = 0;

void OnSignal(int number) {
    if (number != SIGWINCH)
        stop_asked = 1;
}

void Put(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

// The key an escape sequence stands for ("\x1b[A": Up); none for others.
std::optional<Key> SequenceKey(const std::string& parameters, char final) {
    using Kind = Key::Kind;
    if (final == 'A' || final == 'B')
        return Key{final == 'A' ? Kind::kUp : Kind::kDown};
    if (final == '~' && (parameters == "5" || parameters == "6"))
        return Key{parameters == "5" ? Kind::kPageUp : Kind::kPageDown};
    return std::nullopt;
}

// Takes an escape sequence from the start of bytes (which hold more than
// the Escape); its key, or none.
std::optional<Key> TakeSequence(std::string& bytes) {
    if (bytes[1] != '[' && bytes[1] != 'O') {
        bytes.erase(0, 1);  // Alt and a key: the key alone
        return std::nullopt;
    }
    size_t end = 2;
    while (end < bytes.size() && (bytes[end] < 0x40 || bytes[end] > 0x7E))
        ++end;
    if (end == bytes.size()) {
        bytes.clear();  // cut short: dropped
        return std::nullopt;
    }
    const std::optional<Key> key = SequenceKey(bytes.substr(2, end - 2), bytes[end]);
    bytes.erase(0, end + 1);
    return key;
}

std::optional<Key> ByteKey(char byte) {
    using Kind = Key::Kind;
    if (byte == '\r' || byte == '\n')
        return Key{Kind::kEnter};
    if (byte == kDelete || byte == kCtrlH)
        return Key{Kind::kBackspace};
    if (byte == kCtrlC)
        return Key{Kind::kInterrupt};
    if (byte >= ' ' && byte < kDelete)
        return Key{Kind::kText, byte};
    return std::nullopt;
}

// The first key the bytes read make, taken from them; none when they make none.
std::optional<Key> TakeKey(std::string& bytes) {
    while (!bytes.empty()) {
        if (bytes[0] == kEscape && bytes.size() > 1) {
            if (std::optional<Key> key = TakeSequence(bytes))
                return key;
            continue;
        }
        const char byte = bytes[0];
        bytes.erase(0, 1);
        if (byte == kEscape)
            return Key{Key::Kind::kEscape};
        if (std::optional<Key> key = ByteKey(byte))
            return key;
    }
    return std::nullopt;
}

// Keys byte by byte, unechoed, Ctrl-C and Ctrl-Z as keys; output as it was.
bool TakeKeysRaw(const termios& before) {
    termios raw = before;
    raw.c_lflag &= ~tcflag_t(ICANON | ECHO | ISIG | IEXTEN);
    raw.c_iflag &= ~tcflag_t(IXON | ICRNL);
    raw.c_cc[VMIN] = 0;
    raw.c_cc[VTIME] = 0;
    return tcsetattr(STDIN_FILENO, TCSANOW, &raw) == 0;
}

// Whether a key's bytes wait to be read, within timeout_ms.
bool WaitForInput(int timeout_ms, const sigset_t& unblocked) {
    pollfd input{STDIN_FILENO, POLLIN, 0};
    const timespec timeout{timeout_ms / kMsPerSecond, (timeout_ms % kMsPerSecond) * kNsPerMs};
    if (ppoll(&input, 1, &timeout, &unblocked) <= 0)
        return false;
    if (input.revents & (POLLHUP | POLLERR | POLLNVAL))
        stop_asked = 1;  // the terminal is gone
    return (input.revents & POLLIN) != 0;
}

void ReadAvailable(std::string& bytes) {
    char buffer[64];
    const ssize_t got = read(STDIN_FILENO, buffer, sizeof(buffer));
    if (got > 0)
        bytes.append(buffer, static_cast<size_t>(got));
    else if (got == 0)
        stop_asked = 1;
}

}  // namespace

struct Terminal::Saved {
    termios mode{};
    sigset_t mask{};  // the signal mask before, unblocked while waiting for a key
    struct sigaction actions[kCaughtCount] = {};
    std::string bytes;  // read, not yet taken as keys
};

bool OutputIsTerminal() { return isatty(STDOUT_FILENO) == 1; }
bool InputIsTerminal() { return isatty(STDIN_FILENO) == 1; }

std::unique_ptr<Terminal> Terminal::Open(std::string& why) {
    auto saved = std::make_unique<Saved>();
    if (tcgetattr(STDIN_FILENO, &saved->mode) != 0 || !TakeKeysRaw(saved->mode)) {
        why = std::string("the terminal's settings cannot be changed: ") + std::strerror(errno);
        return nullptr;
    }
    sigset_t blocked;
    sigemptyset(&blocked);
    struct sigaction action{};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (size_t i = 0; i < kCaughtCount; ++i) {
        sigaddset(&blocked, kCaught[i]);
        sigaction(kCaught[i], &action, &saved->actions[i]);
    }
    sigprocmask(SIG_BLOCK, &blocked, &saved->mask);
    stop_asked = 0;
    Put(kTakeScreen);
    return std::unique_ptr<Terminal>(new Terminal(std::move(saved)));
}

Terminal::Terminal(std::unique_ptr<Saved> saved) : saved_(std::move(saved)) {}

Terminal::~Terminal() {
    Put(kGiveScreen);
    tcsetattr(STDIN_FILENO, TCSANOW, &saved_->mode);
    for (size_t i = 0; i < kCaughtCount; ++i)
        sigaction(kCaught[i], &saved_->actions[i], nullptr);
    sigprocmask(SIG_SETMASK, &saved_->mask, nullptr);
}

Size Terminal::GetSize() {
    winsize size{};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0 || !size.ws_col || !size.ws_row)
        return Size{};
    return Size{size.ws_col, size.ws_row};
}

void Terminal::Draw(const std::vector<Line>& lines) {
    std::string text = "\x1b[H";  // each line from its start, the rest of it and below cleared
    for (size_t i = 0; i < lines.size(); ++i)
        text += LineText(lines[i], true) + "\x1b[K" + (i + 1 < lines.size() ? "\r\n" : "");
    Put(text + "\x1b[J");
}

std::optional<Key> Terminal::ReadKey(int timeout_ms) {
    std::string& bytes = saved_->bytes;
    if (bytes.empty() && !WaitForInput(timeout_ms, saved_->mask))
        return std::nullopt;
    if (bytes.empty())
        ReadAvailable(bytes);
    if (bytes == std::string(1, kEscape) && WaitForInput(kEscapeWaitMs, saved_->mask))
        ReadAvailable(bytes);
    return TakeKey(bytes);
}

bool Terminal::Stopped() { return stop_asked != 0; }

}  // namespace watch
