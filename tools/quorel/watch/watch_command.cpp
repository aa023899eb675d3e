// `quorel watch`: a live view of one card on a terminal, refreshed every
// interval; one frame, as text or JSON, on a pipe or with --once.
#include <cstdio>
#include <cstdlib>

#include "card_target.h"
#include "commands.h"
#include "model_choice.h"
#include "text_encoding.h"
#include "failure.h"
#include "watch/live.h"
#include "watch/session.h"
#include "watch/terminal.h"

namespace commands {

namespace {

constexpr double kDefaultInterval = 0.5;
constexpr double kShortestInterval = 0.05;
constexpr double kLongestInterval = 3600;

// Seconds as digits with at most one decimal point, within the limits.
bool ParseSeconds(const std::string& text, double& seconds) {
    size_t digits = 0, points = 0;
    for (const char c : text) {
        digits += c >= '0' && c <= '9';
        points += c == '.';
    }
    if (digits == 0 || points > 1 || digits + points != text.size())
        return false;
    seconds = std::strtod(text.c_str(), nullptr);
    return seconds >= kShortestInterval && seconds <= kLongestInterval;
}

// A usage fault of the line; "" when there is none.
std::string OptionFault(const cli::Args& args, double& interval) {
    interval = kDefaultInterval;
    if (!args.interval.empty() && !ParseSeconds(args.interval, interval))
        return "-n must be a number of seconds from 0.05 to 3600 (such as 0.5 or 2), not '" +
               cli::Shown(args.interval) + "'";
    if (args.json && !args.once)
        return "--json prints one frame: give --once too";
    return "";
}

int PrintOnce(watch::Session& session, bool json) {
    session.Refresh();
    if (json)
        std::printf("%s\n", cli::JsonText(session.Json()).c_str());
    else
        std::fputs(watch::FrameText(session.Frame({}, false)).c_str(), stdout);
    return cli::kExitOk;
}

}  // namespace

int Watch(const cli::Args& args) {
    double interval = kDefaultInterval;
    const std::string fault = OptionFault(args, interval);
    if (!fault.empty())
        return cli::UsageError(args, fault);
    const bool once = args.once || !watch::OutputIsTerminal();
    if (!once && !watch::InputIsTerminal())
        return cli::Fail("the watch takes its keys from the terminal, and standard input is "
                         "not one; --once prints one frame");
    ModelPointer model;
    if (!OpenTarget(args.target) || !TargetModel(args, model))
        return cli::kExitFailure;
    watch::Session session(args, model, interval);
    return once ? PrintOnce(session, args.json) : watch::RunLive(session, interval);
}

}  // namespace commands
