// Finding the adapter on the line and bringing it to one known state: command
// mode, result messages on, no link, nothing pending.
#pragma once

#include "protocol/CommandExchange.h"

namespace nw {

// 1 when an adapter was found and brought to the known state, -1 otherwise.
// Sends each command at most once; a failing step ends it at once.
int DetectDevice(CCommandExchange& ex);

// -1 when the adapter answers "ats53?" with "ERROR" (no multiple connection
// mode), 1 otherwise, silence included.
int CheckMultiConnection(CCommandExchange& ex);

} // namespace nw
