// `quorel doctor`: the process, where the driver-access library comes from,
// what the scan found and missed, and for each card whether its window
// maps and why not.
#include <string>
#include <vector>

#include "api/inspect.h"
#include "bar_text.h"
#include "commands.h"
#include "doctor/platform.h"
#include "doctor/report.h"
#include "driver_binding.h"
#include "peer_note.h"
#include "quiet_stdout.h"
#include "quorel.h"
#include "scan_diagnosis.h"
#include "settings/settings.h"
#include "text_encoding.h"
#include "ulvexa.h"

namespace doctor {

void AddMachineFacts(FactList& facts) {
    const driver_binding::Description machine = driver_binding::Describe();
    facts.Text("machine", machine.given ? machine.what
                                        : "not said: this driver-access DLL does not describe itself "
                                          "(the maker's does not)");
    if (!machine.refused.empty())
        facts.Text("machine_refused", machine.refused);
}

}  // namespace doctor

namespace commands {

namespace {

using doctor::FactList;
using doctor::Report;
namespace inspect = quorel::inspect;

constexpr int kBitsPerByte = 8;

void AddProcessSection(Report& report) {
    int major = 0, minor = 0;
    {
        QuietStdout quiet;  // the banner is not part of the report
        Quorel_LibVersion(&major, &minor);
    }
    report.Add("process").facts
        .Text("bitness", std::to_string(sizeof(void*) * kBitsPerByte) + "-bit")
        .Text("library_version", std::to_string(major) + "." + (minor < 10 ? "0" : "") +
                                     std::to_string(minor));
}

void AddScanSection(Report& report, const ScanFacts& scan) {
    std::vector<std::string> unreached;
    for (const inspect::PeerFunction& f : scan.unreached)
        unreached.push_back(FunctionText(f));
    FactList& facts = report.Add("scan").facts;
    const bool initialised = scan.init_result == ULVEXA_INITIALIZED;
    facts.Number("initialisation", scan.init_result,
                 std::to_string(scan.init_result) + (initialised ? " (success)" : " (failed)"))
        .Number("functions_found", scan.found)
        .List("unreached_functions", unreached);
    if (!unreached.empty())
        facts.Text("opt_in", std::string(quorel::settings::kScanPeerBuses) + "=1 scans their buses too");
    std::vector<std::string> unscanned;
    for (const inspect::UnscannedFunction& f : scan.unscanned)
        unscanned.push_back(FunctionText(f.at));
    if (!unscanned.empty())  // looked for on an empty scan only
        facts.List("unscanned_functions", unscanned);
}

// Opens the card as an application would, reads its board ID, closes it.
// "" when it opened, else why not.
std::string TryOpen(const inspect::Card& card, FactList& facts) {
    const std::string bar = BarProblemText(card.function.card_bar_problem);
    if (!bar.empty())
        return bar;
    const int result = Quorel_open(card.position);
    if (result != QUOREL_SUCCESS)
        return result == QUOREL_MAP_FAILED
                   ? "the driver-access library refused to map it (MapPhysToLin returned NULL)"
                   : "Quorel_open returned " + std::to_string(result);
    facts.Number("board_id", inspect::BoardIdFromRegister(static_cast<uint8_t>(Quorel_in(inspect::kBoardIdRegister))));
    Quorel_close();
    return "";
}

std::string RegistryText(const inspect::RegistryTexts& r) {
    if (!r.matched)
        return "no (no registry entry)";
    return "yes: " + cli::FromLocal(r.device_desc.empty() ? r.hardware_key : r.device_desc);
}

// One item per card; returns how many open and, for the first that does
// not, why.
int AddCards(Report& report, std::string& first_failure) {
    doctor::Section& section = report.Add("cards");
    section.items_key = "cards";
    section.item_title = "card";
    inspect::Annotate();
    int opened = 0;
    for (const inspect::Card& card : inspect::Cards()) {
        const inspect::Function& f = card.function;
        FactList facts;
        facts.Number("position", card.position).Number("type", card.type)
            .Text("location", cli::AddressText(f))
            .Number("bar0", static_cast<long long>(Bar0Address(f)), Bar0Text(f));
        const std::string suspect = AddCardPlatformFacts(facts, f);
        std::string why = TryOpen(card, facts);
        if (!why.empty() && !suspect.empty())
            why += "; " + suspect;
        facts.Text("window", why.empty() ? "maps" : "does not map: " + why)
            .Text("registry", RegistryText(f.registry));
        if (why.empty())
            ++opened;
        else if (first_failure.empty())
            first_failure = "card " + std::to_string(card.position) + " at " + cli::AddressText(f) + ": " + why;
        section.items.push_back(facts);
    }
    section.facts.Number("found", static_cast<long long>(section.items.size())).Number("open", opened);
    return opened;
}

std::string NoCardReason(const ScanFacts& scan) {
    if (scan.outcome != ScanOutcome::kFound)
        return EmptyScanText(scan);
    std::string reason = "none of the " + std::to_string(scan.found) +
                         " PCI functions found is a QUOREL card (6a5d:0101 or 6a5d:494f)";
    return scan.unreached.empty() ? reason : reason + "; " + UnreachedText(scan.unreached);
}

}  // namespace

int Doctor(const cli::Args& args) {
    Report report;
    AddProcessSection(report);
    const std::string blocker = doctor::AddPlatformSections(report);
    if (blocker.empty()) {
        const ScanFacts scan = DiagnoseScan(true);
        AddScanSection(report, scan);
        std::string failure;
        const int opened = AddCards(report, failure);
        const size_t cards = report.sections.back().items.size();
        report.ok = opened > 0;
        if (report.ok)
            report.reason = std::to_string(opened) + " of " + std::to_string(cards) + " cards open";
        else if (cards == 0)
            report.reason = "no card can be opened: " + NoCardReason(scan);
        else
            report.reason = "no card can be opened: " + failure;
        const std::string hint = report.ok ? "" : doctor::PlatformHint();
        if (!hint.empty())
            report.reason += "; " + hint;
    } else {
        report.reason = "no card can be opened: " + blocker;
    }
    report.Print(args.json);
    return report.ok ? cli::kExitOk : cli::kExitFailure;
}

}  // namespace commands
