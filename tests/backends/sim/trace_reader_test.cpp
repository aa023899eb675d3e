// Trace files read for a replay: what is refused, with its line, and the
// accesses the library made for a trace's calls, card by card.
#include <gtest/gtest.h>

#include <map>

#include "replay/recorded_cards.h"
#include "replay/trace_reader.h"
#include "trace_text.h"

namespace {

using namespace quorel::sim::replay;
using test_support::TraceText;

const std::string kRun = TraceText({});
const std::string kCall = "#1 t=0.0us thread=7 Quorel_in(5) = 0x51 (0.1us)";
const std::string kOpen = "#1 t=0.0us thread=7 Quorel_open(0) = 0 (9.0us)\n";

struct Refused {
    std::string text;
    const char* problem;  // how it starts
};

const Refused kRefused[] = {
    {"", "t.txt:1: not a trace: the file is empty"},
    {"hello\n", "t.txt:1: not a trace: expected the line 'Quorel trace: version ...'"},
    {kCall + "\n", "t.txt:1: not a trace"},
    {TraceText({}, "1.2.0.0"), "t.txt:1: written by the trace DLL of version 1.2.0.0, newer than"},
    {TraceText({}, "2"), "t.txt:1: written by the trace DLL of version 2, newer"},
    {TraceText({}, "1.x"), "t.txt:1: malformed header line"},
    {kRun + kCall.substr(0, 30), "t.txt:2: cut short: the file ends in the middle of this line"},
    {kRun + kCall.substr(0, 30) + kRun, "t.txt:2: cut short: a run's header line begins in the middle"},
    {kRun + "#1 t=0.0us thread=7 Quorel_in(5) (0.1us)\n", "t.txt:2: malformed call line"},
    {kRun + "#1 t=0.0us thread=7 Quorel_in(5) = 0x51\n", "t.txt:2: malformed call line"},
    {kRun + "Quorel_in(5) = 0x51\n", "t.txt:2: unrecognised line"},
    {kRun + "    card 0: 00:05.0, type 1, BAR0 0xFD000000\n", "t.txt:2: indented line"},
    {kRun + kOpen + "    card 0: 00:0g.0, type 1, BAR0 0xFD000000\n",
     "t.txt:3: unrecognised line after an open"},
    {kRun + kOpen + "    MapPhysToLin(address 0xFD000000, length 0x400000) = 0x1\n",
     "t.txt:3: unrecognised line after an open"},
};

TEST(TraceReader, RefusesWithTheLine) {
    for (const Refused& refused : kRefused) {
        Trace trace;
        std::string problem;
        EXPECT_FALSE(ReadTrace(refused.text, "t.txt", &trace, &problem)) << refused.text;
        EXPECT_EQ(problem.rfind(refused.problem, 0), 0u) << problem;
    }
}

// "00:05.0 w20=AB r20=AB; 01:00.0 | unused 6": each card's accesses in
// trace order, then the lines not used.
std::string Summary(const Recording& recording) {
    std::string text;
    for (const RecordedCard& card : recording.cards) {
        std::map<uint32_t, std::string> by_line;
        for (const auto& [offset, reads] : card.reads)
            for (const Access& read : reads)
                by_line[read.line] += " r" + std::to_string(offset) + "=" + std::to_string(read.value);
        for (const Access& write : card.writes)
            by_line[write.line] += " w" + std::to_string(write.offset) + "=" + std::to_string(write.value);
        text += (text.empty() ? "" : "; ") + card.location;
        for (const auto& entry : by_line)
            text += entry.second;
    }
    for (const Unused& unused : recording.unused)
        text += " | unused " + std::to_string(unused.line);
    return text;
}

const char kCard0[] = "    card 0: 00:05.0, type 1, BAR0 0xFD000000";
const char kMapped[] = "    MapPhysToLin(address 0xFD000000, length 0x400000) = 0x1620000";
const char kRefusedMap[] = "    MapPhysToLin(address 0xFD000000, length 0x400000) = 0x0";

struct Recorded {
    std::vector<std::string> lines;
    const char* accesses;  // Summary's; values in decimal
};

const Recorded kRecorded[] = {
    // One card: index 261 is register 5, index 255 and a closed library make
    // no access, a failed open leaves the earlier card addressed.
    {{"Quorel_open(0) = 0", kCard0, kMapped, "Quorel_out(261, 0x1AB) = 0", "Quorel_in(255) = 0x01",
      "Quorel_in(5) = 0xAB", "Quorel_srst() = 0", "Quorel_sts() = 0x11", "Quorel_open(3) = 1",
      "    card 3: none", "Quorel_in(6) = 0x08", "Quorel_close() = 0", "Quorel_in(5) = 0x01",
      "Quorel_ackint() = 1"},
     "00:05.0 w20=171 r20=171 w1020=192 r1020=17 r24=8"},
    // Several: each mapped card's board-ID read, the last one mapped
    // addressed, then the board Quorel_in2 selects, also at index 255.
    {{"Quorel_open2() = 0", kCard0, kMapped, "    board-ID register 0x08: board 1",
      "    card 1: 01:00.0, type 1, BAR0 0xFC800000",
      "    MapPhysToLin(address 0xFC800000, length 0x400000) = 0x0",
      "    card 2: 01:01.0, type 2, BAR0 0xFEBFF000",
      "    MapPhysToLin(address 0xFEBFF000, length 0x400) = 0xCB5C80",
      "    board-ID register 0x88: board 3", "    card 3: none", "Quorel_sts() = 0x33",
      "Quorel_in2(1, 5) = 0x51", "Quorel_enint() = 0", "Quorel_out2(2, 5, 0x7) = 1",
      "Quorel_in2(3, 255) = 0x01", "Quorel_disint() = 0", "Quorel_close2() = 0",
      "Quorel_in2(1, 5) = 0x01"},
     "00:05.0 r24=8 r20=81 w1020=12; 01:00.0; 01:01.0 r24=136 r1020=51 w1020=8"},
    // A refused mapping closes; calls the library has not, or that the
    // trace says wrote with nothing open, are not used.
    {{"Quorel_open(0) = 2", kCard0, kRefusedMap, "Quorel_in(5) = 0x01", "Quorel_out(5, 0x1) = 0",
      "Quorel_frob(1) = 0", "Quorel_setwr2wrdly(2.5) = 0", "Quorel_out(x, 1) = 0"},
     "00:05.0 | unused 6 | unused 7 | unused 9"},
};

TEST(TraceReader, RecordsTheAccessesTheLibraryMade) {
    for (const Recorded& recorded : kRecorded) {
        Trace trace;
        std::string problem;
        ASSERT_TRUE(ReadTrace(TraceText(recorded.lines), "t.txt", &trace, &problem)) << problem;
        EXPECT_EQ(Summary(Record(trace)), recorded.accesses);
    }
}

TEST(TraceReader, ReadsTheLastRun) {
    Trace trace;
    std::string problem;
    const std::string first = TraceText({"Quorel_open(0) = 0", kCard0, kMapped, "Quorel_in(5) = 0x01"});
    ASSERT_TRUE(ReadTrace(first + TraceText({"Quorel_close() = 0"}), "t.txt", &trace, &problem));
    EXPECT_EQ(trace.runs, 2u);
    EXPECT_EQ(trace.run_line, 6u);
    ASSERT_EQ(trace.calls.size(), 1u);
    EXPECT_EQ(trace.calls[0].text, "Quorel_close()");
    EXPECT_TRUE(Record(trace).cards.empty());
}

}  // namespace
