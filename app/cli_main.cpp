// nodewright-cli: the Nodewright operations from a terminal or a script.
#include "app/cli/Process.h"
#include "app/cli/RunCli.h"
#include "serial/StopSignals.h"

#include <iostream>

int main(int argc, char** argv) {
    nw::ReleasePortsOnStopSignals(); // Ctrl+C mid-command leaves the line usable
    const nw::cli::StandardStreams streams = nw::cli::PrepareProcess();
    nw::CRealPacer pacer; // the real pauses, always
    nw::cli::CliEnv env;
    env.pacer = &pacer;
    env.stdoutIsTerminal = streams.stdoutIsTerminal;
    env.stderrIsTerminal = streams.stderrIsTerminal;
    return nw::cli::RunCli(argc, argv, std::cin, std::cout, std::cerr, env);
}
