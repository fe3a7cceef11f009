// nodewright-cli as a function: parses the command line, runs the command on
// the windows' logic with terminal hosts, and returns the exit status (0
// success, 1 the operation's failure outcome, 2 usage error or a port that
// cannot be opened). Reads wizard input from `in`, writes what the windows
// show and the results to `out`, details, trace and progress to `err`.
#pragma once

#include "app/cli/CliEnv.h"

#include <istream>
#include <ostream>

namespace nw::cli {

int RunCli(int argc, const char* const* argv, std::istream& in, std::ostream& out,
           std::ostream& err, const CliEnv& env);

} // namespace nw::cli
