// Every conversation the program has with an adapter, as operations the
// windows ask for. Each runs scripts (Conversations.cpp holds them all, with
// every pause) through the one interpreter and ends in an outcome: done, the
// adapter's failure, or the line gone.
#pragma once

#include "protocol/CommandExchange.h"
#include "protocol/DeviceInfo.h"
#include "protocol/Network.h"
#include "protocol/Outcome.h"
#include "protocol/Readback.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace nw {

// Finds the adapter in whatever state it is and brings it to command mode,
// result messages on, no link, nothing pending. Sends each command at most
// once; a step that fails ends it at once.
OutcomeKind DetectDevice(CCommandExchange& ex);

// Failed when the adapter answers "ats53?" with "ERROR" (no multiple
// connection mode); silence counts as support.
OutcomeKind CheckMultiConnection(CCommandExchange& ex);

// Which wake-up chain: both try "at", "ats10?", "+++"; the last step asks
// "ats10?" again (a report) or switches result messages on (a reset).
enum class WakeFor { Query, Reset };

// Reaches command mode: each step 400 ms, the first reply holding its
// keyword ends the chain. Failed when none did.
OutcomeKind WakeUp(CCommandExchange& ex, WakeFor purpose);

// When to send "ato" after reading the description.
enum class ResumeRule {
    AfterAnyOk,      // "at" or "+++" answered OK (the main window)
    AfterEscapeOnly, // only "+++" answered OK (the Manual Setting window)
};

struct DeviceInfoResult {
    OutcomeKind kind = OutcomeKind::Failed;
    std::string address; // the address field of the description (when it succeeded)
};

// The information report: wake-up for a query, "at+btinfo?" written without
// a drain and collected after 2000 ms, "ato" by `rule`, 400 ms, "ats10=0"
// to an adapter found with result messages off; then the parse into `lines`.
// `onEscaped` runs as soon as "+++" was answered (the adapter was in a link).
// The lines are untouched unless it succeeded.
DeviceInfoResult ReadDeviceInfo(CCommandExchange& ex, InfoLines& lines, ResumeRule rule,
                                const std::function<void()>& onEscaped = {});

// The factory reset after a wake-up for a reset. The main window's: "at&f"
// confirmed by an "OK" within 3000 ms. The Manual Setting window's: "at&f"
// and 2000 ms, the reply not read.
OutcomeKind ResetAndConfirm(CCommandExchange& ex);
OutcomeKind ResetBlind(CCommandExchange& ex);

// The wizard's blind writes, bare sends with fixed pauses, nothing read.
// Master: S46/S54 get slots 1 and 2, S55 slot 3 from 1:3 on, S56 slot 4 at
// 1:4 (else they are cleared), then cancel, operation mode 1, the result
// messages and the mode. Slave: S46 the master, cancel, mode 2, the result
// messages, restart.
OutcomeKind WriteWizardMaster(CCommandExchange& ex, const std::array<std::string, 5>& slots,
                              NetworkSize size, bool disableResponse, ConnectionMode mode);
OutcomeKind WriteWizardSlave(CCommandExchange& ex, const std::string& masterAddress,
                             bool disableResponse);

enum class MasterFailure {
    None,
    NotDetected,       // detection failed
    NoMultiConnection, // "ats53?" answered ERROR
    Rejected,          // a write's reply lacked "OK"
};

struct MasterWriteResult {
    OutcomeKind kind = OutcomeKind::Failed;
    MasterFailure failure = MasterFailure::NotDetected;
    int used = 0;             // slaves written with an address
    bool modeWritten = false; // "at+btmode,1" was sent and accepted
};

// The manual master setting: detection, the support query, the four slave
// registers (an address where `use` is set, zeros otherwise), "at+btmode,1"
// unless `alreadyMode1`, S53 for `mode` (each needs "OK", the first that
// lacks it ends the run), then the result-message setting written bare.
MasterWriteResult WriteManualMaster(CCommandExchange& ex, const std::array<bool, 4>& use,
                                    const std::array<std::string, 4>& addresses, bool alreadyMode1,
                                    ConnectionMode mode, bool disableResponse);

// The manual slave setting: detection, S46 (needs OK), "ats53?" and, when it
// holds "1" or "2", "ats53=0" (needs OK), "at+btmode,2" (needs OK), the
// result-message setting (bare, 400 ms) and "atz" (bare, no pause).
// `clearedMulti`, when given, tells whether "ats53=0" was written.
OutcomeKind WriteManualSlave(CCommandExchange& ex, const std::string& masterAddress,
                             bool disableResponse, bool* clearedMulti = nullptr);

// What a master holds, as Auto Fill reads it after a wake-up for a query:
// its slave registers (1000 ms each), S10 and S53 (500 ms each).
struct MasterRegisters {
    OutcomeKind kind = OutcomeKind::Failed; // LineGone, or Succeeded
    std::array<ReadbackAddress, 4> slaves;  // S46, S54, S55, S56
    bool responsesOn = false;               // S10 holds "1"
    ConnectionMode mode = ConnectionMode::MultiDrop;
    std::vector<std::string> unread; // "S46", ..., "S10", "S53" whose reply held no value
};
MasterRegisters ReadMasterRegisters(CCommandExchange& ex);

// The setting queries of a verification, after its report: "ats10?" and
// "ats53?" (500 ms each), "ats46?" and, for a master, "ats54?" to "ats56?"
// (1000 ms each). The replies in that order.
struct SettingReplies {
    OutcomeKind kind = OutcomeKind::Failed; // LineGone, or Succeeded
    std::vector<std::string> replies;
};
SettingReplies QuerySettings(CCommandExchange& ex, bool master);

} // namespace nw
