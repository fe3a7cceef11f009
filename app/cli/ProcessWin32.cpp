#include "app/cli/Process.h"

#include <cstdio>

#include <fcntl.h>
#include <io.h>

namespace nw::cli {

StandardStreams PrepareProcess() {
    // Windows has no SIGPIPE: a write to a closed pipe already just fails.
    // Binary mode: without it the C library turns every "\n" into "\r\n".
    (void)::_setmode(::_fileno(stdout), _O_BINARY);
    (void)::_setmode(::_fileno(stderr), _O_BINARY);
    StandardStreams s;
    s.stdoutIsTerminal = ::_isatty(::_fileno(stdout)) != 0;
    s.stderrIsTerminal = ::_isatty(::_fileno(stderr)) != 0;
    return s;
}

} // namespace nw::cli
