// The bench's pseudo-terminal: the controlling side the bench reads and
// writes, the terminal side (the one a port opens) held open so that the
// controlling side never sees a hang-up between a port's opens, and a pipe
// that wakes the service loop out of its poll.
#pragma once

#include <array>
#include <string>

namespace nw::sim {

class CPtyLine {
  public:
    CPtyLine() = default;
    ~CPtyLine() { Close(); }
    CPtyLine(const CPtyLine&) = delete;
    CPtyLine& operator=(const CPtyLine&) = delete;

    // Makes a raw pseudo-terminal and the wake pipe, all non-blocking. False
    // (with a reason, nothing left open) when the system has none to give.
    bool Open(std::string* error);
    // Closes everything: to the port the line vanishes. Path() stays.
    void Close();

    int Fd() const { return m_controller; }
    int WakeFd() const { return m_wake[0]; }
    // The terminal side (/dev/pts/N) of the last line opened.
    const std::string& Path() const { return m_path; }

    void Wake() const;          // makes WakeFd() readable
    void TakeWakeCalls() const; // empties the wake pipe

  private:
    int m_controller = -1;
    int m_terminal = -1;
    std::array<int, 2> m_wake{-1, -1};
    std::string m_path;
};

} // namespace nw::sim
