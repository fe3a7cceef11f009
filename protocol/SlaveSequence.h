// Making the attached adapter a slave: its master's address in S46,
// operation mode 2, result messages, then a restart.
#pragma once

#include "protocol/CommandExchange.h"

#include <string>

namespace nw {

// The wizard's blind write: "ATS46=<master>", "at+btcancel", "at+btmode,2",
// the result-message setting and "atz", bare sends with fixed pauses.
void WriteWizardSlave(CCommandExchange& ex, const std::string& masterAddress, bool disableResponse);

// The manual slave setting: detection, S46 (needs OK), "ats53?" and, when it
// holds "1" or "2", "ats53=0" (needs OK), "at+btmode,2" (needs OK), the
// result-message setting (bare, 400 ms) and "atz" (bare, no pause).
// Returns 1, or -1 at the first failure (a write that failed included).
int WriteManualSlave(CCommandExchange& ex, const std::string& masterAddress, bool disableResponse);

} // namespace nw
