// The command language of nodewright-sim's standard input:
//   attach master|slave1..slave4     detach            show
//   set <who> <key> <value>          reset <who>       transcript [clear]
//   link <who> | pending <who> | standby <who>         help        quit
// Keys of "set": silent, echo, multi, hwflow, auth, encrypt (on/off),
// latency, split-at, split-pause, garbage, flood (numbers), s10, s53, mode
// (numbers), s46, s54, s55, s56, name, address (texts).
#pragma once

#include "sim/SimBench.h"

#include <string>

namespace nw::sim {

class CBenchConsole {
public:
    explicit CBenchConsole(CSimBench& bench) : m_bench(bench) {}

    // Runs one line; returns the text to print (may be empty). Sets Quit()
    // after "quit".
    std::string Execute(const std::string& line);
    bool Quit() const { return m_quit; }

private:
    CSimBench& m_bench;
    bool m_quit = false;
};

} // namespace nw::sim
