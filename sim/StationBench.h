// A station bench: a master and two to four slaves, each attached to a
// pseudo-terminal of its own (one one-line bench per adapter), so a program
// can set them all up at once. The verdict takes every adapter of the
// station together.
//
// Thread-safety: as CSimBench's; Start and Stop from one thread.
#pragma once

#include "sim/SimBench.h"

#include <memory>
#include <string>
#include <vector>

namespace nw::sim {

class CStationBench {
  public:
    static constexpr int kMinSlaves = 2;
    static constexpr int kMaxSlaves = 4;

    // A master and `slaves` slaves (clamped to 2..4).
    explicit CStationBench(int slaves = kMaxSlaves);

    // Starts every line. False (with a reason, none left running) when one
    // cannot be made.
    bool Start(std::string* error = nullptr);
    void Stop();

    // "master", "slave1", ...: the station's adapters, in order.
    const std::vector<std::string>& Roles() const { return m_roles; }
    bool Has(const std::string& role) const;
    // The bench that serves `role`'s line, its adapter attached (role must
    // be one of Roles()).
    CSimBench& Line(const std::string& role);
    const CSimBench& Line(const std::string& role) const;
    std::string Path(const std::string& role) const { return Line(role).Path(); }
    AdapterState StateOf(const std::string& role) const { return Line(role).StateOf(role); }

    // "ROLE PATH" per adapter, one a line.
    std::string Paths() const;
    // Each line's path and adapter, then the network verdict.
    std::string Show() const;
    // The verdict over the station's adapters (see NetworkVerdict.h).
    std::string NetworkVerdict() const;

  private:
    std::vector<std::string> m_roles;
    std::vector<std::unique_ptr<CSimBench>> m_lines; // m_lines[i] serves m_roles[i]
};

} // namespace nw::sim
