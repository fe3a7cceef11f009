// Command-mode wake-up chains: a fixed list of transactions, 400 ms each, that
// stops at the first reply holding its keyword. Used before a report, a
// readback or a factory reset to reach an adapter in whatever state it is.
#pragma once

#include "protocol/CommandExchange.h"

#include <span>

namespace nw {

struct WakeStep {
    const char* command;
    const char* keyword;
};

// "at" OK, "ats10?" 0, "+++" OK, "ats10?" 0: the information report and
// the auto fill.
extern const WakeStep kWakeForQuery[4];
// "at" OK, "ats10?" 0, "+++" OK, "ats10=1" OK: the factory reset.
extern const WakeStep kWakeForReset[4];

// Index of the step whose reply held its keyword, or -1 when none did (all
// steps were sent).
int WakeUp(CCommandExchange& ex, std::span<const WakeStep> steps);

} // namespace nw
