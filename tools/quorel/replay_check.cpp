// `quorel replay check TRACE [--snapshot DIR]`: reads a trace file as the
// stand-in does for a replay, without a driver, and shows what a replay
// would serve: each card the trace opened, with the reads and writes it
// recorded per register, and what of the trace it cannot use; with
// --snapshot also which recorded cards that snapshot's machine lacks.
#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "cli.h"
#include "commands.h"
#include "failure.h"
#include "machine_parser.h"
#include "process_env/process_env.h"
#include "recorded_cards.h"
#include "replay_loader.h"
#include "settings/settings.h"
#include "text_encoding.h"
#include "trace_reader.h"

namespace commands {

namespace {

namespace replay = quorel::sim::replay;

struct Counts {
    size_t reads = 0;
    size_t writes = 0;
};

// A recorded card the snapshot's machine lacks, and why.
using Missing = std::map<std::string, std::string>;

std::map<uint32_t, Counts> PerOffset(const replay::RecordedCard& card) {
    std::map<uint32_t, Counts> counts;
    for (const auto& [offset, reads] : card.reads)
        counts[offset].reads = reads.size();
    for (const replay::Access& write : card.writes)
        ++counts[write.offset].writes;
    return counts;
}

std::string Threads(const std::set<uint64_t>& threads) {
    std::string text;
    for (uint64_t thread : threads)
        text += (text.empty() ? "" : ", ") + std::to_string(thread);
    return text;
}

// The machine of the snapshot in `folder`; null with why when it does not load.
std::unique_ptr<quorel::sim::Machine> SnapshotMachine(const std::string& folder, std::string* why) {
    const std::string path = folder + "/" + quorel::settings::kSnapshotMachineFile;
    std::string text;
    if (!quorel::process_env::ReadTextFile(path, &text, why)) {
        *why = path + ": cannot read the machine file: " + *why +
               "; --snapshot names a folder that `quorel snapshot DIR` wrote";
        return nullptr;
    }
    return quorel::sim::ParseMachine(text, path, why);
}

// The recorded cards the snapshot's machine has no card for; false, after
// saying why, when the snapshot's machine does not load.
bool CheckSnapshot(const std::string& folder, const replay::Recording& recording, Missing* missing) {
    std::string why;
    const std::unique_ptr<quorel::sim::Machine> machine = SnapshotMachine(folder, &why);
    if (!machine) {
        cli::Fail(why);
        return false;
    }
    for (const replay::RecordedCard& card : recording.cards) {
        const std::string absent =
            quorel::sim::MissingCard(*machine, card.location, "the snapshot's machine");
        if (!absent.empty())
            (*missing)[card.location] = absent;
    }
    return true;
}

// "5", "control/status", "-" (a byte that is no register).
std::string Label(uint32_t offset) {
    if (offset == replay::kStatusOffset)
        return "control/status";
    return offset % replay::kRegisterStride ? "-" : std::to_string(offset / replay::kRegisterStride);
}

void PrintCard(const replay::RecordedCard& card) {
    std::printf("card %s: %s\n", card.location.c_str(), cli::Shown(card.opens.front()).c_str());
    for (size_t i = 1; i < card.opens.size(); ++i)
        std::printf("  also %s\n", cli::Shown(card.opens[i]).c_str());
    if (card.threads.size() > 1)
        std::printf("  threads %s: the replay serves the reads in the recorded order, whichever "
                    "thread asks\n", Threads(card.threads).c_str());
    std::printf("  %6s  %-16s %6s %7s\n", "offset", "register", "reads", "writes");
    for (const auto& [offset, counts] : PerOffset(card))
        std::printf("  %6u  %-16s %6zu %7zu\n", offset, Label(offset).c_str(), counts.reads,
                    counts.writes);
}

void PrintText(const replay::Trace& trace, const replay::Recording& recording, const Missing& missing) {
    const std::string file = cli::Shown(trace.file);
    if (trace.runs == 1)
        std::printf("trace: %s, one run, from line %u\n", file.c_str(), trace.run_line);
    else
        std::printf("trace: %s, %u runs: the last, from line %u, is replayed\n", file.c_str(),
                    trace.runs, trace.run_line);
    std::printf("  %s\n", cli::Shown(trace.header).c_str());
    std::printf("calls: %zu, from %zu thread%s\n", trace.calls.size(), recording.threads.size(),
                recording.threads.size() == 1 ? "" : "s");
    for (const replay::RecordedCard& card : recording.cards)
        PrintCard(card);
    if (recording.unused.empty() && missing.empty())
        return;
    std::printf("not replayed:\n");
    for (const replay::Unused& unused : recording.unused)
        std::printf("  line %u: %s\n", unused.line, cli::Shown(unused.why).c_str());
    for (const auto& [location, why] : missing)
        std::printf("  card %s: %s\n", location.c_str(), why.c_str());
}

cli::Json CardJson(const replay::RecordedCard& card, const Missing& missing, bool checked) {
    cli::Json registers = cli::Json::array();
    for (const auto& [offset, counts] : PerOffset(card))
        registers.push_back({{"offset", offset},
                             {"name", replay::OffsetName(offset)},
                             {"reads", counts.reads},
                             {"writes", counts.writes}});
    const auto absent = missing.find(card.location);
    return {{"location", card.location},
            {"opens", card.opens},
            {"threads", card.threads},
            {"in_snapshot", checked ? cli::Json(absent == missing.end()) : cli::Json(nullptr)},
            {"registers", registers}};
}

cli::Json DocumentJson(const replay::Trace& trace, const replay::Recording& recording,
                       const Missing& missing, bool checked) {
    cli::Json json{{"ok", true},      {"trace", trace.file},          {"run_line", trace.run_line},
                   {"runs", trace.runs}, {"header", trace.header},    {"calls", trace.calls.size()},
                   {"threads", recording.threads}, {"cards", cli::Json::array()},
                   {"not_replayed", cli::Json::array()}};
    for (const replay::RecordedCard& card : recording.cards)
        json["cards"].push_back(CardJson(card, missing, checked));
    for (const replay::Unused& unused : recording.unused)
        json["not_replayed"].push_back({{"line", unused.line}, {"why", unused.why}});
    for (const auto& [location, why] : missing)
        json["not_replayed"].push_back({{"card", location}, {"why", why}});
    return json;
}

}  // namespace

int Replay(const cli::Args& args) {
    if (args.positional[0] != "check")
        return cli::UsageError(
            args, "the replay action must be check, not '" + cli::Shown(args.positional[0]) + "'");
    const std::string& path = args.positional[1];
    std::string text, why;
    if (!quorel::process_env::ReadTextFile(path, &text, &why))
        return cli::Fail(path + ": cannot read the trace: " + why);
    replay::Trace trace;
    if (!replay::ReadTrace(text, path, &trace, &why))
        return cli::Fail(why);
    const replay::Recording recording = replay::Record(trace);
    Missing missing;
    if (!args.snapshot.empty() && !CheckSnapshot(args.snapshot, recording, &missing))
        return cli::kExitFailure;
    if (args.json)
        std::printf("%s\n", cli::JsonText(DocumentJson(trace, recording, missing,
                                                       !args.snapshot.empty())).c_str());
    else
        PrintText(trace, recording, missing);
    return cli::kExitOk;
}

}  // namespace commands
