#include "watch/session.h"

#include <algorithm>

#include "card_target.h"
#include "quorel.h"
#include "watch/reading.h"

namespace watch {

namespace {

using Kind = Key::Kind;

constexpr size_t kLongestPrompt = 120;
constexpr int kPage = 10;

// The control commands, a key each.
struct CommandKeyRow {
    char key;
    const char* name;
    int(QUOREL_CALL* send)(void);
};
constexpr CommandKeyRow kCommandKeys[] = {{'r', "reset", Quorel_srst},
                                          {'e', "enable", Quorel_enint},
                                          {'d', "disable", Quorel_disint},
                                          {'a', "acknowledge", Quorel_ackint}};

constexpr char kPromptHint[] =
    "write: REG VALUE or REG.FIELD VALUE; read once: REG. Enter does it, Esc cancels";

// "card 0 (00:05.0)", "board 1: card 2 (01:01.0)"
std::string TitleOf(const cli::Target& target) {
    const std::optional<quorel::inspect::Card> card = commands::TargetCard(target);
    const std::string where = card ? "card " + std::to_string(card->position) + " (" +
                                         cli::AddressText(card->function) + ")"
                                   : "card";
    return target.by_board ? "board " + std::to_string(target.number) + ": " + where : where;
}

}  // namespace

Session::Session(const cli::Args& args, commands::ModelPointer model, double interval)
    : target_(args.target),
      model_(std::move(model)),
      all_(args.all),
      interval_(interval),
      title_(TitleOf(args.target)) {}

void Session::Refresh() { card_.Update(ReadCard(target_, model_.get(), all_)); }

std::vector<Line> Session::Frame(const Size& size, bool live) const {
    Screen screen{title_, model_.get(), interval_, paused_, live, message_, prompt_,
                  live ? size.width : 0, live ? size.height : 0, scroll_};
    return watch::Frame(card_, screen);
}

cli::Json Session::Json() const {
    return FrameJson(card_, model_.get(), commands::TargetJson(target_));
}

void Session::Say(const std::string& message) { message_ = message; }

Session::Next Session::HandleKey(const Key& key) {
    if (key.kind == Kind::kInterrupt)
        return Next::kQuit;
    if (prompt_)
        return PromptKey(key);
    switch (key.kind) {
    case Kind::kUp:
    case Kind::kDown:
        Scroll(key.kind == Kind::kUp ? -1 : 1);
        return Next::kDraw;
    case Kind::kPageUp:
    case Kind::kPageDown:
        Scroll(key.kind == Kind::kPageUp ? -kPage : kPage);
        return Next::kDraw;
    case Kind::kEscape:
        Say("");
        return Next::kDraw;
    case Kind::kText:
        return CommandKey(key.text);
    default:
        return Next::kDraw;
    }
}

Session::Next Session::PromptKey(const Key& key) {
    if (key.kind == Kind::kText && prompt_->size() < kLongestPrompt)
        *prompt_ += key.text;
    if (key.kind == Kind::kBackspace && !prompt_->empty())
        prompt_->pop_back();
    if (key.kind == Kind::kEscape) {
        prompt_.reset();
        Say("");
    }
    if (key.kind != Kind::kEnter)
        return Next::kDraw;
    const std::string line = *prompt_;
    prompt_.reset();
    Say("");
    RunPrompt(line);
    return Next::kRefresh;
}

Session::Next Session::CommandKey(char key) {
    switch (key) {
    case 'q':
    case 'Q':
        return Next::kQuit;
    case 'w':
    case ':':
        prompt_ = "";
        Say(kPromptHint);
        return Next::kDraw;
    case 'p':
    case ' ':
        paused_ = !paused_;
        Say(paused_ ? "paused: p resumes" : "");
        return paused_ ? Next::kDraw : Next::kRefresh;
    case 'j':
    case 'k':
        Scroll(key == 'k' ? -1 : 1);
        return Next::kDraw;
    default:
        return Send(key);
    }
}

Session::Next Session::Send(char key) {
    for (const CommandKeyRow& row : kCommandKeys) {
        if (row.key != key)
            continue;
        row.send();
        Say(std::string(row.name) + " sent at " + TimeText(Now()));
        return Next::kRefresh;
    }
    Say(std::string("the key '") + key + "' does nothing; the keys are below");
    return Next::kDraw;
}

void Session::Scroll(int by) {
    const int count = model_ ? static_cast<int>(model_->registers.size()) : 0;
    scroll_ = std::max(0, std::min(scroll_ + by, count - 1));
}

}  // namespace watch
