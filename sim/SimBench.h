// The simulated bench: a master and four slaves, at most one attached to a
// pseudo-terminal at a time. A service thread reads what the port writes,
// hands it to the attached adapter and writes the adapter's replies back with
// the adapter's latency/split/garbage/flood faults applied. Every byte in
// either direction is recorded with a time stamp.
//
// Thread-safety: every public call may be made from any thread.
#pragma once

#include "sim/SimAdapter.h"
#include "sim/SimTiming.h"
#include "sim/Transcript.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace nw::sim {

class CSimBench {
  public:
    // Names of the adapters on the bench, in order.
    static const std::vector<std::string>& AdapterNames(); // master, slave1..slave4

    CSimBench();
    ~CSimBench();
    CSimBench(const CSimBench&) = delete;
    CSimBench& operator=(const CSimBench&) = delete;

    // Creates the pseudo-terminal and starts serving it. False (with a reason)
    // when the system has no pseudo-terminal to give.
    bool Start(std::string* error = nullptr);
    // Stops serving and closes the pseudo-terminal: to the port, the line
    // vanishes as an unplugged USB adapter does.
    void Stop();
    bool Running() const;
    // Path of the terminal side, the one the port opens (/dev/pts/N).
    std::string Path() const;

    // Attaches the named adapter ("master", "slave1".."slave4") to the line,
    // detaching any other. False for an unknown name.
    bool Attach(const std::string& who);
    void Detach();
    std::string Attached() const; // "" when none

    // Runs f on the named adapter under the bench lock. False for an unknown name.
    bool With(const std::string& who, const std::function<void(CSimAdapter&)>& f);
    AdapterState StateOf(const std::string& who) const; // a copy

    // Everything received from the port (Rx), concatenated, since start or
    // the last ClearTranscript.
    std::string Received() const;
    std::vector<TranscriptEntry> Transcript() const;
    void ClearTranscript();
    // Blocks until Received() holds at least n bytes or the time-out passes.
    bool WaitForReceived(std::size_t n, std::chrono::milliseconds timeout) const;
    // Replies and flood bytes not yet written to the line.
    std::size_t PendingTx() const;
    // Totals since the bench was made, never cleared: bytes read from the port and bytes
    // written to it.
    std::uint64_t RxTotal() const;
    std::uint64_t TxTotal() const;
    // True while some output is due now but not yet written (the line is
    // full); output scheduled for later (latency, split) does not count.
    bool OutputDue() const;

    // Writes raw bytes to the port now, as if the attached adapter sent them.
    void Inject(const std::string& bytes);

    // Human-readable bench: each adapter's address, name, registers, mode,
    // link state and faults, which one is attached, and whether the
    // configured master and slaves would form the intended network.
    std::string Show() const;
    // The named adapter as Show() describes it (its lines there); "" for an
    // unknown name.
    std::string Describe(const std::string& who) const;
    // One line: "network: ..." telling whether master and slaves agree.
    std::string NetworkVerdict() const;

    // How the adapters are timed (see SimTiming); the default answers at once.
    // Restarts the jitter's random sequence from the timing's seed.
    void SetTiming(const SimTiming& timing);
    SimTiming Timing() const;
    // Commands lost since the bench was made because they arrived while the
    // adapter was busy or restarting (realistic timing only).
    std::uint64_t LostCommands() const;

    // Hands every transcript entry, as it is recorded, to sink (empty: none).
    // Called on the service thread without the bench lock held, so the sink
    // may call back into the bench; it should be quick, the line waits.
    void SetTraceSink(std::function<void(const TranscriptEntry&)> sink);

  private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace nw::sim
