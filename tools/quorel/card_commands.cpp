// `quorel cards`, `boards`, `reset`, `irq` and `version`: the card through
// the library's exports; what they show beyond that (positions, locations,
// the board table) comes from the library's inspection view.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "api/inspect.h"
#include "bar_text.h"
#include "card_target.h"
#include "commands.h"
#include "driver_binding.h"
#include "json_text.h"
#include "peer_note.h"
#include "quiet_stdout.h"
#include "quorel.h"
#include "scan_diagnosis.h"
#include "text_encoding.h"

namespace commands {

namespace {

namespace inspect = quorel::inspect;

cli::Json CardJson(const inspect::Card& card) {
    return cli::Json{{"position", card.position},
                     {"type", card.type},
                     {"location", cli::AddressText(card.function)},
                     {"bar0", Bar0Address(card.function)},
                     {"window_length", card.window_length}};
}

constexpr char kCardColumns[] = "POS  TYPE  LOCATION  BAR0        WINDOW";

constexpr size_t kWindowWidth = 10;

// With `model` (a card model's path, or "-"), the MODEL column too.
void PrintCardColumns(const inspect::Card& card, const std::string& model = "") {
    std::string window = cli::PrefixedHex(card.window_length, 1);
    if (!model.empty())
        window += std::string(window.size() < kWindowWidth ? kWindowWidth - window.size() : 0, ' ') + "  " +
                  cli::Shown(model);
    std::printf("%-4d %-5d %-9s %-10s  %s\n", card.position, card.type,
                cli::AddressText(card.function).c_str(), Bar0Text(card.function).c_str(), window.c_str());
}

// The model each card's window follows, as the driver-access library says
// (a simulated card's); all empty when none does.
std::vector<std::string> CardModels(const std::vector<inspect::Card>& cards) {
    std::vector<std::string> models;
    for (const inspect::Card& card : cards)
        models.push_back(driver_binding::WindowModel(Bar0Address(card.function)));
    if (std::all_of(models.begin(), models.end(), [](const std::string& m) { return m.empty(); }))
        models.assign(cards.size(), "");
    else
        std::replace(models.begin(), models.end(), std::string(), std::string("-"));
    return models;
}

}  // namespace

int Cards(const cli::Args& args) {
    if (!ScanFoundFunctions())
        return cli::kExitFailure;
    const std::vector<inspect::Card> cards = inspect::Cards();
    const std::vector<std::string> models = CardModels(cards);
    const bool modelled = !cards.empty() && !models.front().empty();
    cli::Json json = cli::Json::array();
    if (!args.json)
        std::printf("%s%s\n", kCardColumns, modelled ? "    MODEL" : "");
    for (size_t i = 0; i < cards.size(); ++i) {
        if (!args.json) {
            PrintCardColumns(cards[i], models[i]);
            continue;
        }
        json.push_back(CardJson(cards[i]));
        if (modelled)
            json.back()["model"] = models[i] == "-" ? cli::Json() : cli::Json(models[i]);
    }
    if (args.json)
        std::printf("%s\n", cli::JsonText(json).c_str());
    std::fflush(stdout);  // what stderr says comes after the table
    if (cards.empty())
        std::fprintf(stderr, "quorel: no cards found (`quorel list` shows what the scan found)\n");
    PrintUnreachedNote();
    return cli::kExitOk;
}

int Boards(const cli::Args& args) {
    if (!ScanFoundFunctions())
        return cli::kExitFailure;
    Quorel_open2();
    cli::Json json = cli::Json::array();
    if (!args.json)
        std::printf("BOARD  PRESENT  %s\n", kCardColumns);
    for (int board = 0; board < inspect::kBoardCount; ++board) {
        const std::optional<inspect::Card> card = inspect::BoardCard(board);
        if (args.json) {
            cli::Json entry{{"board", board}, {"present", card.has_value()}};
            if (card)
                entry.update(CardJson(*card));
            json.push_back(entry);
        } else if (card) {
            std::printf("%-6d yes      ", board);
            PrintCardColumns(*card);
        } else {
            std::printf("%-6d no\n", board);
        }
    }
    if (args.json)
        std::printf("%s\n", cli::JsonText(json).c_str());
    return cli::kExitOk;
}

int Reset(const cli::Args& args) {
    if (!OpenTarget(args.target))
        return cli::kExitFailure;
    Quorel_srst();
    return cli::kExitOk;
}

int Irq(const cli::Args& args) {
    const struct {
        const char* action;
        int (QUOREL_CALL* command)(void);
    } actions[] = {{"enable", Quorel_enint}, {"disable", Quorel_disint}, {"ack", Quorel_ackint}};
    for (const auto& a : actions) {
        if (args.positional[0] != a.action)
            continue;
        if (!OpenTarget(args.target))
            return cli::kExitFailure;
        a.command();
        return cli::kExitOk;
    }
    return cli::UsageError(args, "ACTION is enable, disable or ack");
}

int Version(const cli::Args& args) {
    int major = 0, minor = 0;
    if (!args.json) {
        Quorel_LibVersion(&major, &minor);  // prints the banner line
        return cli::kExitOk;
    }
    {
        QuietStdout quiet;  // the banner would break the JSON
        Quorel_LibVersion(&major, &minor);
    }
    std::printf("%s\n", cli::JsonText(cli::Json{{"major", major}, {"minor", minor}}).c_str());
    return cli::kExitOk;
}

}  // namespace commands
