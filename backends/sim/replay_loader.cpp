#include "replay_loader.h"

#include <filesystem>
#include <memory>

#include "environment.h"
#include "machine_parser.h"
#include "replay/recorded_cards.h"
#include "replay/trace_reader.h"
#include "replay_window.h"

namespace quorel::sim {

namespace {

// QUOREL_SIM_REPLAY, else the snapshot's trace file when it has one.
std::string TracePath() {
    const std::string own = GetEnvironment(kSimReplay);
    if (!own.empty() || GetEnvironment(kSimSnapshot).empty())
        return own;
    const std::string file = process_env::SnapshotFile(settings::kSnapshotTraceFile);
    std::error_code code;
    return std::filesystem::exists(std::filesystem::u8path(file), code) ? file : "";
}

bool ReadTraceFile(const std::string& path, replay::Trace* trace, std::string* why) {
    std::string text;
    if (ReadTextFile(path, &text, why))
        return replay::ReadTrace(text, path, trace, why);
    *why = path + ": cannot read the trace: " + *why;
    return false;
}

Function* FunctionAt(Machine& machine, const std::string& location) {
    for (const Address& at : machine.Addresses())
        if (FormatAddress(at) == location)
            return machine.Find(at);
    return nullptr;
}

// What of the trace is not replayed besides cards: earlier runs, calls.
void NoteTrace(const replay::Trace& trace, const replay::Recording& recording,
               std::vector<std::string>* notes) {
    if (trace.runs > 1)
        notes->push_back(trace.file + " holds " + std::to_string(trace.runs) +
                         " runs of programs: the last, from line " + std::to_string(trace.run_line) +
                         ", is replayed");
    if (recording.unused.empty())
        return;
    const replay::Unused& first = recording.unused.front();
    const size_t count = recording.unused.size();
    notes->push_back(trace.file + ": " + std::to_string(count) +
                     (count == 1 ? " call is" : " calls are") + " not replayed (`quorel replay check " + trace.file +
                     "` lists them), the first at line " + std::to_string(first.line) + ": " + first.why);
}

}  // namespace

std::string MissingCard(Machine& machine, const std::string& location, const std::string& name) {
    const Function* function = FunctionAt(machine, location);
    if (!function)
        return "is not in " + name;
    return IsCard(*function) ? "" : "is not a card in " + name;
}

void AttachReplay(LoadedMachine* loaded) {
    const std::string path = TracePath();
    if (path.empty() || !loaded->machine)
        return;
    replay::Trace trace;
    std::string why;
    if (!ReadTraceFile(path, &trace, &why)) {
        loaded->notes.push_back("replay refused: " + why + "; the cards are served as without a replay");
        return;
    }
    const replay::Recording recording = replay::Record(trace);
    const auto report = std::make_shared<ReplayReport>();
    for (const replay::RecordedCard& card : recording.cards) {
        const std::string missing = MissingCard(*loaded->machine, card.location, "the simulated machine");
        if (missing.empty())
            FunctionAt(*loaded->machine, card.location)->replay =
                std::make_shared<ReplayedCard>(ReplayedCard{card, path, report});
        else
            loaded->notes.push_back(path + ": card " + card.location + " (" + card.opens.front() +
                                    ") " + missing + ": it is not replayed");
    }
    NoteTrace(trace, recording, &loaded->notes);
    loaded->source += ", replaying the trace " + path;
}

}  // namespace quorel::sim
