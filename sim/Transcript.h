// The bench's record of the line: every byte in either direction with a time
// stamp, everything received from the port, and running totals. Entries may
// also be handed to a sink as they are recorded. Not thread-safe: the bench
// guards it.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace nw::sim {

enum class Direction { Rx, Tx }; // Rx: port -> adapter, Tx: adapter -> port

struct TranscriptEntry {
    double ms; // since the bench started
    Direction dir;
    std::string adapter; // "master", "slave1".. or "" when none was attached
    std::string bytes;
};

class CTranscript {
  public:
    using Sink = std::function<void(const TranscriptEntry&)>;

    // Starts afresh: times count from now, entries and received bytes go.
    void Restart();
    void Clear(); // entries and received bytes; the totals stay

    void Rx(const std::string& adapter, const std::string& bytes);
    void Tx(const std::string& adapter, std::string bytes);

    const std::vector<TranscriptEntry>& Entries() const { return m_entries; }
    const std::string& Received() const { return m_received; }
    std::uint64_t RxTotal() const { return m_rxTotal; }
    std::uint64_t TxTotal() const { return m_txTotal; }

    void SetSink(Sink sink);
    // The entries recorded since the last call that the sink has not seen yet.
    std::vector<TranscriptEntry> TakeUntraced();
    const Sink& GetSink() const { return m_sink; }

  private:
    void Record(Direction dir, const std::string& adapter, std::string bytes);

    std::chrono::steady_clock::time_point m_epoch = std::chrono::steady_clock::now();
    std::vector<TranscriptEntry> m_entries;
    std::string m_received;
    std::uint64_t m_rxTotal = 0; // since the bench was made, never cleared
    std::uint64_t m_txTotal = 0;
    Sink m_sink;
    std::vector<TranscriptEntry> m_untraced; // recorded, not yet given to the sink
};

} // namespace nw::sim
