// The command language of nodewright-sim --station: the bench console's
// commands for one adapter go to the line that adapter is on; "show" shows
// every line and the station's network verdict.
//   show | paths | help | quit
//   set <who> <key> <value> | reset <who> | link|pending|standby <who>
//   unplug <who>                  that adapter's line vanishes
//   transcript [clear]            every line's bytes, line by line
#pragma once

#include "sim/BenchConsole.h"
#include "sim/ConsoleLoop.h"
#include "sim/StationBench.h"

#include <memory>
#include <string>
#include <vector>

namespace nw::sim {

class CStationConsole final : public IConsole {
  public:
    explicit CStationConsole(CStationBench& station);

    std::string Execute(const std::string& line) override;
    bool Quit() const override { return m_quit; }

  private:
    CStationBench& m_station;
    std::vector<std::unique_ptr<CBenchConsole>> m_lines; // one per role, in order
    bool m_quit = false;
};

} // namespace nw::sim
