#include "app/cli/Process.h"

#include <csignal>

#include <unistd.h>

namespace nw::cli {

StandardStreams PrepareProcess() {
    std::signal(SIGPIPE, SIG_IGN);
    StandardStreams s;
    s.stdoutIsTerminal = ::isatty(STDOUT_FILENO) == 1;
    s.stderrIsTerminal = ::isatty(STDERR_FILENO) == 1;
    return s;
}

} // namespace nw::cli
