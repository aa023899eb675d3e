// Trace files as the trace DLLs write them, for tests: a run's header line,
// then each call on a line of its own, numbered from #1; an open's lines
// (four spaces first) as they are given.
#ifndef QUOREL_TESTS_TRACE_TEXT_H
#define QUOREL_TESTS_TRACE_TEXT_H

#include <string>
#include <vector>

namespace test_support {

inline std::string TraceText(const std::vector<std::string>& lines,
                             const std::string& version = "1.1.0.0") {
    std::string text = "Quorel trace: version " + version +
                       ", 64-bit, C:\\lab\\Quorel_64.dll; process 1, C:\\lab\\rig.exe; command line: rig\n";
    int sequence = 0;
    for (const std::string& line : lines)
        text += line.rfind("    ", 0) == 0 ? line + "\n"
                                           : "#" + std::to_string(++sequence) + " t=0.0us thread=7 " +
                                                 line + " (0.1us)\n";
    return text;
}

}  // namespace test_support

#endif  // QUOREL_TESTS_TRACE_TEXT_H
