// Making the attached adapter the master of a multiple connection: its slave
// addresses in S46, S54, S55, S56, operation mode 1, result messages and the
// multiple connection mode (S53 1 Multi-Drop, 2 Node Switching).
#pragma once

#include "protocol/CommandExchange.h"

#include <array>
#include <string>

namespace nw {

// The wizard's blind write: bare sends with fixed pauses, nothing read.
// S46/S54 always get slots 1 and 2; S55 gets slot 3 from "1:3" (oneToN >= 1)
// and S56 slot 4 from "1:4" (oneToN >= 2), else they are cleared.
void WriteWizardMaster(CCommandExchange& ex, const std::array<std::string, 5>& slots, int oneToN,
                       bool disableResponse, int mode);

enum class MasterOutcome {
    NotDetected,       // detection failed
    NoMultiConnection, // "ats53?" answered ERROR
    Rejected,          // a register write's reply lacked "OK"
    Written,           // every write accepted
};

struct MasterWriteResult {
    MasterOutcome outcome = MasterOutcome::NotDetected;
    int used = 0;             // slaves written with an address
    bool modeWritten = false; // "at+btmode,1" was sent and accepted
};

// The manual master setting up to the S53 write: detection, the support
// query, the four slave registers (an address where `use` is set, zeros
// otherwise), "at+btmode,1" unless `alreadyMode1`, and S53 for `mode`
// (0 Multi-Drop, 1 Node Switching). Every write needs "OK"; the first that
// lacks it ends the sequence.
MasterWriteResult WriteManualMaster(CCommandExchange& ex, const std::array<bool, 4>& use,
                                    const std::array<std::string, 4>& addresses, bool alreadyMode1,
                                    int mode);

} // namespace nw
