// nodewright-sim: serves the simulated adapter bench on a pseudo-terminal.
// The first line of standard output is the terminal's path; after it, lines
// from standard input are bench console commands. With --station, every
// adapter gets a terminal of its own: first "ROLE PATH" per adapter, then
// the station's console. The end of standard input
// leaves the bench serving (so it can run in the background); "quit",
// SIGINT or SIGTERM stop it.
#pragma once

#include "sim/SimTiming.h"
#include <optional>

#include <cstdint>
#include <string>

namespace nw::sim {

struct BenchOptions {
    std::string attach = "master";  // adapter on the line at start, "none": silence
    std::string link;               // a symbolic link to make to the terminal
    bool trace = false;             // every byte on the line to standard error
    int station = 0;                // 2..4: a master and that many slaves, a line each
    std::string timing = "instant"; // "realistic": latencies, busy and restart times
    std::uint32_t seed = 1;         // the realistic timing's jitter
    // Realistic figures, in milliseconds (see SimTiming).
    SimTiming figures = SimTiming::Realistic();
};

// Reads the command line into `options`. An exit code when the program ends
// here: --help, --version (`version` is its text) or a bad argument, the
// reason printed.
std::optional<int> ParseBenchOptions(int argc, char** argv, const std::string& version,
                                     BenchOptions& options);

// Serves the bench until "quit" or a stop signal; the program's exit code.
int RunBench(const BenchOptions& options);

} // namespace nw::sim
