#include "watch/live.h"

#include <algorithm>
#include <chrono>

#include "failure.h"

namespace watch {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPausedWaitMs = 1000;

int WaitMs(Clock::time_point until) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now());
    return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
}

}  // namespace

int RunLive(Session& session, double interval) {
    std::string why;
    const std::unique_ptr<Terminal> terminal = Terminal::Open(why);
    if (!terminal)
        return cli::Fail(why + "; --once prints one frame");
    const auto period =
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(interval));
    Clock::time_point due = Clock::now() + period;
    while (!terminal->Stopped()) {
        if (!session.Paused() && Clock::now() >= due) {
            session.Refresh();
            due += period;
            if (due < Clock::now())  // fallen behind: from now on
                due = Clock::now() + period;
        }
        terminal->Draw(session.Frame(terminal->GetSize(), true));
        const std::optional<Key> key =
            terminal->ReadKey(session.Paused() ? kPausedWaitMs : WaitMs(due));
        const Session::Next next = key ? session.HandleKey(*key) : Session::Next::kDraw;
        if (next == Session::Next::kQuit)
            break;
        if (next == Session::Next::kRefresh) {  // paused too: what the key did shows
            session.Refresh();
            due = Clock::now() + period;
        }
    }
    return cli::kExitOk;
}

}  // namespace watch
