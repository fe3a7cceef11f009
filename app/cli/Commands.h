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

// Main window.
int RunPorts(const CliEnv& env, CTerminalConsole& console);
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

// The wizard, one button press per line of `in`.
int RunWizard(CCliSession& session, std::istream& in);

} // namespace nw::cli
