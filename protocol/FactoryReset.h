// Restoring an adapter's factory settings with "at&f", after a command-mode
// wake-up (at, ats10?, +++, ats10=1).
#pragma once

#include "protocol/CommandExchange.h"

namespace nw {

// The main window's reset: drains, writes "at&f", waits 3000 ms and tells
// whether what arrived holds "OK".
bool ResetAndConfirm(CCommandExchange& ex);

// The Manual Setting window's reset: writes "at&f" and waits 2000 ms; the
// reply is not read.
void ResetBlind(CCommandExchange& ex);

} // namespace nw
