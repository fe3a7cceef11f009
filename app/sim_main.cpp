// nodewright-sim: the simulated adapter bench on a pseudo-terminal, driven
// from standard input (see sim/BenchProgram.h).
#include "sim/BenchProgram.h"

#ifndef NW_VERSION
#define NW_VERSION "unknown"
#endif

int main(int argc, char** argv) {
    nw::sim::BenchOptions options;
    if (const auto exitCode =
            nw::sim::ParseBenchOptions(argc, argv, "nodewright-sim " NW_VERSION, options))
        return *exitCode;
    return nw::sim::RunBench(options);
}
