// The command language of nodewright-sim's standard input:
//   attach master|slave1..slave4     detach            show
//   set <who> <key> <value>          reset <who>       transcript [clear]
//   link <who> | pending <who> | standby <who>         help        quit
// Keys of "set": silent, echo, multi, hwflow, auth, encrypt (on/off),
// latency, split-at, split-pause, garbage, flood (numbers), s10, s53, mode
// (numbers), s46, s54, s55, s56, name, address (texts).
#pragma once

#include "sim/ConsoleLoop.h"
#include "sim/SimBench.h"

#include <string>
#include <vector>

namespace nw::sim {

class CBenchConsole final : public IConsole {
  public:
    explicit CBenchConsole(CSimBench& bench) : m_bench(bench) {}

    // Runs one line; returns the text to print (may be empty; otherwise every
    // line of it ends in '\n'). Errors begin "error: ". Sets Quit() after
    // "quit". Empty lines and lines starting with '#' do nothing.
    std::string Execute(const std::string& line) override;
    bool Quit() const override { return m_quit; }

    // One transcript line: "  12.345 RX master  at<CR><LF>".
    static std::string FormatEntry(const TranscriptEntry& entry);

  private:
    std::string Set(const std::vector<std::string>& words);
    std::string LinkCommand(const std::string& verb, const std::string& who);

    CSimBench& m_bench;
    bool m_quit = false;
};

} // namespace nw::sim
