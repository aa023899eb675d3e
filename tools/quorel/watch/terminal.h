// The terminal `quorel watch` runs in: its keys unbuffered and unechoed, a
// screen of its own that frames are drawn on, its size, and a stop asked
// from outside (Ctrl-C, a signal, the console closing). One implementation
// per platform: terminal_posix.cpp (termios, VT sequences), and
// terminal_windows.cpp (the console's own functions).
#ifndef QUOREL_TOOLS_WATCH_TERMINAL_H
#define QUOREL_TOOLS_WATCH_TERMINAL_H

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "watch/frame.h"

namespace watch {

struct Key {
    enum class Kind { kText, kEnter, kBackspace, kEscape, kUp, kDown, kPageUp, kPageDown, kInterrupt };
    Kind kind = Kind::kText;
    char text = 0;  // kText: a printable ASCII character
};

struct Size {
    int width = 80;
    int height = 24;
};

// Whether standard output, and standard input, is a terminal (a console).
bool OutputIsTerminal();
bool InputIsTerminal();

class Terminal {
public:
    // Takes the terminal over; null, with why, when it cannot be.
    static std::unique_ptr<Terminal> Open(std::string& why);
    ~Terminal();  // gives it back as it was
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    Size GetSize();
    void Draw(const std::vector<Line>& lines);
    // The next key, waiting at most timeout_ms; none after the time, a
    // change of size or a stop.
    std::optional<Key> ReadKey(int timeout_ms);
    // A stop asked from outside: the watch ends as after q.
    bool Stopped();

    struct Saved;  // what the platform's terminal had before, and its handles

private:
    explicit Terminal(std::unique_ptr<Saved> saved);
    std::unique_ptr<Saved> saved_;
};

}  // namespace watch

#endif  // QUOREL_TOOLS_WATCH_TERMINAL_H
