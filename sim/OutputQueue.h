// What the bench has still to write to the port: the attached adapter's
// replies with its latency, split, garbage and flood faults applied, and
// injected bytes. Not thread-safe: the bench guards it.
#pragma once

#include "sim/SimAdapter.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <random>
#include <string>

namespace nw::sim {

class COutputQueue {
  public:
    using Clock = std::chrono::steady_clock;
    // Told of every piece written: the adapter it came from and the bytes.
    using Written = std::function<void(const std::string& adapter, std::string bytes)>;

    // Queues what the adapter answered, with its faults applied; a flood is
    // sent once and then cleared from the faults.
    void Schedule(Faults& faults, const std::string& adapter, const std::string& reply);
    // The same, the reply starting no earlier than `due` (the latency fault
    // not added).
    void ScheduleAt(Faults& faults, const std::string& adapter, const std::string& reply,
                    Clock::time_point due);
    // Queues bytes to go out now.
    void Push(const std::string& adapter, const std::string& bytes);

    // Writes what is due as far as fd takes it without blocking. A line that
    // is gone drops everything queued.
    void WriteDue(int fd, const Written& written);

    // Milliseconds until the next piece is due: 0 when one is due now, -1
    // when nothing is queued.
    int WaitMs() const;
    bool Due() const;            // some output is due now
    std::size_t Pending() const; // bytes not yet written
    bool Empty() const { return m_chunks.empty(); }
    void Clear() { m_chunks.clear(); }

  private:
    // A piece goes out no earlier than `due` and, when gapMs is set, no
    // earlier than gapMs after the piece before it has been written completely.
    struct Chunk {
        Clock::time_point due;
        std::uint32_t gapMs = 0;
        std::string adapter;
        std::string bytes;
        std::size_t sent = 0;
    };

    std::string Random(std::size_t n, bool printable);

    std::deque<Chunk> m_chunks;
    std::mt19937 m_rng{std::random_device{}()};
};

} // namespace nw::sim
