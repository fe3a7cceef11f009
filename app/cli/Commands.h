// The commands of nodewright-cli. Each returns its exit status: 0 when the
// operation ends in its success outcome, 1 when it ends in one of its failure
// messages. The window commands run on a session whose port is open.
#pragma once

#include "app/cli/CliEnv.h"
#include "app/cli/CliOptions.h"
#include "app/cli/CliSession.h"
#include "app/cli/TerminalConsole.h"
#include "protocol/Outcome.h"

#include <istream>

namespace nw::cli {

// 0 for an operation that succeeded, 1 for one that failed or lost its line.
int ExitStatus(const Outcome& outcome);

// The port list: names one per line (a table on a terminal, the fields with
// --json); with `watch`, a line per port added or removed until the monitor
// ends (the process is interrupted).
int RunPorts(const CliEnv& env, CTerminalConsole& console, bool json, bool watch);

// Main window.
// What stands in the way of using the port (-p) or every port: 0 nothing,
// 1 a problem was found (each with its fix).
int RunDoctor(const CliOptions& options, const CliEnv& env, CTerminalConsole& console);
int RunCheck(CCliSession& session);
int RunDetect(CCliSession& session);
int RunReset(CCliSession& session);

// Manual Setting window.
int RunMaster(CCliSession& session);
int RunSlave(CCliSession& session);
int RunManualReset(CCliSession& session);
int RunAutoFill(CCliSession& session);

// Reads the attached adapter back and compares it with what master or slave
// would write: 0 verified, 3 a field differs, 1 not found or not readable.
int RunVerify(CCliSession& session);

// Station mode: every adapter on its own port (no session: it opens them
// all). 0 all set and verified, 1 a step failed, 3 a verification differs,
// 2 a port that cannot be opened.
int RunNetwork(const CliOptions& options, const CliEnv& env, CTerminalConsole& console,
               IStepRecorder* recorder = nullptr);

// The wizard, one button press per line of `in`.
int RunWizard(CCliSession& session, std::istream& in);

} // namespace nw::cli
