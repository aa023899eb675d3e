// One watch of a card: it reads the card at each refresh, does what the keys
// ask (a write or a read at the prompt, a command, pause, scroll) and makes
// the frame that shows it all.
#ifndef QUOREL_TOOLS_WATCH_SESSION_H
#define QUOREL_TOOLS_WATCH_SESSION_H

#include <optional>
#include <string>
#include <vector>

#include "cli.h"
#include "model_choice.h"
#include "watch/card_view.h"
#include "watch/frame.h"
#include "watch/terminal.h"

namespace watch {

class Session {
public:
    enum class Next { kDraw, kRefresh, kQuit };  // what the key leaves to do

    Session(const cli::Args& args, commands::ModelPointer model, double interval);

    void Refresh();
    Next HandleKey(const Key& key);
    bool Paused() const { return paused_; }
    // On a terminal of that size; without one (size 0), the whole frame
    // without the message and the keys.
    std::vector<Line> Frame(const Size& size, bool live) const;
    cli::Json Json() const;

private:
    Next PromptKey(const Key& key);
    Next CommandKey(char key);
    Next Send(char key);
    void RunPrompt(const std::string& line);
    void ReadAsked(const std::string& reg);
    void WriteAsked(const std::string& reg, const std::string& value);
    void Scroll(int by);
    void Say(const std::string& message);

    cli::Target target_;
    commands::ModelPointer model_;
    bool all_;
    double interval_;
    std::string title_;
    CardView card_;
    bool paused_ = false;
    std::string message_;
    std::optional<std::string> prompt_;
    int scroll_ = 0;
};

}  // namespace watch

#endif  // QUOREL_TOOLS_WATCH_SESSION_H
