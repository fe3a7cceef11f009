// Receive ring buffer: the hand-over point between the port's reader thread
// (the only producer, Put) and the thread that runs command exchanges (the
// only consumer, GetCount then Get). Fixed storage; every store and every take
// is all-or-nothing.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace nw {

class CRxBuffer {
  public:
    static constexpr int kSlots = 4096;
    static constexpr int kCapacity = kSlots - 1; // one slot is never used

    CRxBuffer();
    virtual ~CRxBuffer() = default;
    CRxBuffer(const CRxBuffer&) = delete;
    CRxBuffer& operator=(const CRxBuffer&) = delete;

    // Empties the ring and zeroes the storage. Takes no lock: only for use
    // before the buffer is shared.
    void Reset();

    // Bytes stored and not yet taken. Lock-free; the count only grows between
    // a consumer's GetCount and its Get, so a take of that many always fits.
    int GetCount() const { return m_nCount.load(std::memory_order_acquire); }
    int GetFree() const { return kCapacity - GetCount(); }

    // Stores all `length` bytes or none. Returns length, or -1 when source is
    // null, length is not positive, or the bytes do not fit the free space.
    int Put(const char* source, int length);

    // Takes exactly `length` bytes into destination, or nothing. Returns
    // length, or 0 when destination is null, length is not positive, or fewer
    // bytes are stored. Writes no terminating NUL.
    int Get(char* destination, int length);

    // Copies up to `length` of the oldest bytes into destination without
    // taking them; returns how many were copied.
    int Peek(char* destination, int length) const;

    // Blocks until more than `count` bytes are stored, Wake is called or
    // `deadline` passes. True when more than `count` are stored. The reader's
    // Put wakes it at once: the waiter never polls.
    bool WaitForMore(int count, std::chrono::steady_clock::time_point deadline) const;
    // Wakes every WaitForMore (the line went away: nothing more will come).
    void Wake();

  private:
    mutable std::mutex m_cs;
    mutable std::condition_variable m_arrived;
    int m_nWakes = 0;
    std::array<char, kSlots> m_abData{};
    int m_nReadPos = 0;
    int m_nWritePos = 0;
    std::atomic<int> m_nCount{0};
};

} // namespace nw
