// Whether anything is in flight between a port and the simulated bench:
// every byte the port wrote has reached the bench, every reply due by now has
// been written, and every byte written has passed the port's reader. Tests
// wait for it after each shortened pause, so a busy machine slows them down
// but cannot make a reply miss its pause.
#pragma once

#include "serial/SerialPort.h"
#include "sim/SimBench.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>

namespace nw::test {

class QuietLine {
  public:
    // Watches `port`'s traffic; call while the port is closed.
    QuietLine(sim::CSimBench& bench, CSerialPort& port) : m_bench(bench), m_port(port) {
        port.SetTraceSink([this](CSerialPort::TraceDir dir, const char*, std::size_t n) {
            (dir == CSerialPort::TraceDir::Tx ? m_tx : m_rx) += n;
        });
    }

    bool Quiet() const {
        if (m_port.IsDisconnected())
            return true; // the line is gone: nothing more will move
        return m_bench.RxTotal() == m_tx.load() && !m_bench.OutputDue() &&
               m_bench.TxTotal() == m_rx.load();
    }

    // Calls `waitABit` until the line is quiet, for two seconds at most (a
    // vanished line never gets quiet).
    void Wait(const std::function<void()>& waitABit) const {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (!Quiet() && std::chrono::steady_clock::now() < until)
            waitABit();
    }

  private:
    sim::CSimBench& m_bench;
    CSerialPort& m_port;
    std::atomic<std::uint64_t> m_tx{0};
    std::atomic<std::uint64_t> m_rx{0};
};

} // namespace nw::test
