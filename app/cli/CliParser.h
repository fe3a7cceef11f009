// The command line of nodewright-cli: global options, one command and its
// options. Help and version texts go to `out`; usage errors go to `err` as a
// usage line and the reason.
#pragma once

#include "app/cli/CliOptions.h"

#include <optional>
#include <ostream>

namespace nw::cli {

struct ParseOutcome {
    std::optional<CliOptions> options; // set when a command is to run
    int exitCode = 0;                  // when it is not: 0 help or version, 2 usage error
};

ParseOutcome ParseCommandLine(int argc, const char* const* argv, std::ostream& out,
                              std::ostream& err);

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;   // also: the port cannot be opened
inline constexpr int kExitDiffers = 3; // verify: a field differs from what it should be

} // namespace nw::cli
