// The watch on a terminal: a frame drawn at each refresh and after each
// key, until q, Ctrl-C or a stop from outside.
#ifndef QUOREL_TOOLS_WATCH_LIVE_H
#define QUOREL_TOOLS_WATCH_LIVE_H

#include "watch/session.h"

namespace watch {

// Exit 0 when the watch was ended; 1 when the terminal cannot be taken over.
int RunLive(Session& session, double interval);

}  // namespace watch

#endif  // QUOREL_TOOLS_WATCH_LIVE_H
