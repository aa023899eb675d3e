// The trace flavour's output: one line per export call, with the lines an
// open adds, written and flushed before the call returns. Destination,
// format and header line: docs/trace.md.
#ifndef QUOREL_TRACE_WRITER_H
#define QUOREL_TRACE_WRITER_H

#include <cstdint>

namespace quorel::trace {

// A performance-counter reading at the start of a call. The first call of
// the process opens the trace and writes its header line.
int64_t CallStart();
// Writes the call's line ("Quorel_out(5, 0x1AB) = 0" in `call`) with its
// sequence number, start time, thread and duration, then `details` (whole
// lines, may be empty), as one write: lines of two threads never mix.
void WriteCall(int64_t start, const char* call, const char* details);

}  // namespace quorel::trace

#endif  // QUOREL_TRACE_WRITER_H
