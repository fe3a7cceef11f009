// A bare pseudo-terminal for tests of the serial port itself: the test plays
// the device on the controlling side, the port opens Path(). A terminal-side
// descriptor is held open so the line keeps its settings and does not hang up
// between opens of the port.
#pragma once

#include <chrono>
#include <string>
#include <thread>

namespace nw::test {

class PtyPair {
  public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& Path() const { return m_path; }
    int HeldTerminal() const { return m_slave; }

    // Writes bytes as the device would send them.
    void Send(const std::string& bytes);
    // Reads what the port wrote until `n` bytes came or the time-out passed.
    std::string Read(std::size_t n, std::chrono::milliseconds timeout);
    // Closes both sides: to the port the line vanishes.
    void Vanish();

  private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_path;
};

// Polls `cond` every millisecond until it holds or the time-out passes.
template <class Cond> bool WaitUntil(Cond cond, std::chrono::milliseconds timeout) {
    const auto until = std::chrono::steady_clock::now() + timeout;
    for (; !cond(); std::this_thread::sleep_for(std::chrono::milliseconds(1)))
        if (std::chrono::steady_clock::now() >= until)
            return false;
    return true;
}

// CPU time used by the whole process so far, in milliseconds.
double ProcessCpuMs();

} // namespace nw::test
