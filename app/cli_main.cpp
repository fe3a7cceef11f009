// nodewright-cli: the Nodewright operations from a terminal or a script.
#include "app/cli/RunCli.h"

#include <csignal>
#include <iostream>

#include <unistd.h>

int main(int argc, char** argv) {
    // A reader that goes away (`| head -1`) must not stop an operation halfway
    // through an adapter's settings: writes to it just fail.
    std::signal(SIGPIPE, SIG_IGN);
    nw::CRealPacer pacer; // the real pauses, always
    nw::cli::CliEnv env;
    env.pacer = &pacer;
    env.stdoutIsTerminal = ::isatty(STDOUT_FILENO) == 1;
    env.stderrIsTerminal = ::isatty(STDERR_FILENO) == 1;
    return nw::cli::RunCli(argc, argv, std::cin, std::cout, std::cerr, env);
}
