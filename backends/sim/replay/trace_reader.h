// Trace files as the trace DLLs write them (docs/trace.md): a header line
// per run, one line per call, and after each open the lines saying what it
// found. Read from text alone, nothing else touched, so that any text can
// be fed to it.
#ifndef QUOREL_SIM_REPLAY_TRACE_READER_H
#define QUOREL_SIM_REPLAY_TRACE_READER_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorel::sim::replay {

// One position an open searched, from the lines after the open's call.
struct SearchedCard {
    int64_t position = 0;
    std::string location;  // "01:00.0"; empty: no card at that position
    bool mapped = false;   // MapPhysToLin gave a window
    bool board_read = false;  // Quorel_open2 read its board-ID register
    uint8_t board_register = 0;
    int64_t board = 0;
    uint32_t board_line = 0;  // the line of its board-ID register
};

struct TraceCall {
    uint32_t line = 0;
    uint64_t sequence = 0;  // the #N of the line
    uint64_t thread = 0;
    std::string name;       // "Quorel_out"
    std::string text;       // "Quorel_out(5, 0x1AB)", as written
    std::vector<std::string> arguments;  // "5", "0x1AB"
    int64_t result = 0;  // a register read's byte, or the call's result
    std::vector<SearchedCard> search;  // an open's, in order
};

struct Trace {
    std::string file;         // as messages name it
    uint32_t run_line = 0;    // the header line of the run read: the file's last
    unsigned runs = 0;        // header lines in the file
    std::string header;       // that line, after "Quorel trace: "
    std::vector<TraceCall> calls;  // of that run
};

// The last run of the trace in `text`, the whole file. False when the text
// is not a trace, has a line cut short or malformed, or comes from a newer
// trace DLL than this build's: *problem says "FILE:LINE: what is wrong".
bool ReadTrace(std::string_view text, const std::string& file, Trace* trace, std::string* problem);

// A number as the trace writes them: decimal, possibly negative, or 0x
// hexadecimal; the whole text. False when it is none or does not fit.
bool ParseNumber(std::string_view text, int64_t* value);

}  // namespace quorel::sim::replay

#endif  // QUOREL_SIM_REPLAY_TRACE_READER_H
