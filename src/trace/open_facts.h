// What the hooks of trace/trace.h heard during one open, for the lines
// that follow the open's call line.
#ifndef QUOREL_TRACE_OPEN_FACTS_H
#define QUOREL_TRACE_OPEN_FACTS_H

#include "trace/text.h"

namespace quorel::trace {

// Forgets the previous open's facts; called as an open begins.
void BeginOpen();
// The driver line (when this open ran discovery) and the Windows version
// line, then `summary` (the device list's counts), then the card search's
// lines in the order they happened.
void AddOpenDetails(Text& out, bool discovered, const char* summary);

}  // namespace quorel::trace

#endif  // QUOREL_TRACE_OPEN_FACTS_H
