// The one place every fixed pause goes through. The product waits the real
// time; tests inject a pacer that scales pauses down, and a front end may
// wait in a way that keeps its window painted.
#pragma once

#include <chrono>
#include <cstdint>

namespace nw {

class IPacer {
  public:
    virtual ~IPacer() = default;
    // Waits `ms` milliseconds (at least that long, for the real pacer).
    virtual void Pause(std::uint32_t ms) = 0;
};

// Sleeps the calling thread for the real time, never less.
class CRealPacer final : public IPacer {
  public:
    void Pause(std::uint32_t ms) override;
};

// Sleeps ms * scale (scale 0 does not sleep at all). For tests.
class CScaledPacer final : public IPacer {
  public:
    explicit CScaledPacer(double scale) : m_scale(scale) {}
    void Pause(std::uint32_t ms) override;
    double Scale() const { return m_scale; }

  private:
    double m_scale;
};

// The steady-clock time `ms` milliseconds from now.
std::chrono::steady_clock::time_point DeadlineAfter(double ms);

// Sleeps precisely until `ms` have passed (steady clock), resuming after
// early or interrupted sleeps.
void SleepAtLeast(double ms);

} // namespace nw
