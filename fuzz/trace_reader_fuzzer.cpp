// The trace reader on any text: it refuses it with "FILE:LINE: ..." or
// reads a run, never both; the accesses recorded for a run's calls are
// then checked against what the library can reach of a card's window.
#include <algorithm>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "recorded_cards.h"
#include "trace_reader.h"

namespace {

using namespace quorel::sim::replay;

constexpr uint32_t kWindowBytesReached = kStatusOffset + 1;

void CheckAccesses(const std::vector<Access>& accesses, uint32_t lines) {
    for (const Access& access : accesses) {
        FUZZ_CHECK(access.offset < kWindowBytesReached && access.offset % kRegisterStride == 0);
        FUZZ_CHECK(access.line >= 2 && access.line <= lines && !access.call.empty());
    }
}

void Check(const Trace& trace, uint32_t lines) {
    FUZZ_CHECK(trace.runs >= 1 && trace.run_line >= 1 && trace.run_line <= lines);
    uint32_t previous = trace.run_line;
    for (const TraceCall& call : trace.calls) {
        FUZZ_CHECK(call.line > previous && !call.name.empty());
        previous = call.line;
    }
    const Recording recording = Record(trace);
    for (const RecordedCard& card : recording.cards) {
        FUZZ_CHECK(card.location.size() == 7 && !card.opens.empty());
        for (const auto& entry : card.reads)
            CheckAccesses(entry.second, lines);
        CheckAccesses(card.writes, lines);
    }
    for (const Unused& unused : recording.unused)
        FUZZ_CHECK(unused.line > trace.run_line && unused.line <= lines && !unused.why.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Trace trace;
    std::string problem;
    const uint32_t lines = static_cast<uint32_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    if (ReadTrace(text, "fuzz.txt", &trace, &problem))
        Check(trace, lines);
    else
        FUZZ_CHECK(problem.rfind("fuzz.txt:", 0) == 0 && problem.find(": ", 9) != std::string::npos);
    return 0;
}
