// The one place every fixed pause goes through. The product waits the real
// time; tests inject a pacer that scales pauses down, and a front end may
// wait in a way that keeps its window painted.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

namespace nw {

// What a pause that may end early waits for: whether it has come, and a way
// to sleep until something that may bring it happens (the port's reader
// signals every chunk it receives).
class IAwaited {
  public:
    virtual ~IAwaited() = default;
    virtual bool Arrived() = 0;
    // Blocks until new input may have changed Arrived(), or `deadline`.
    virtual void WaitForChange(std::chrono::steady_clock::time_point deadline) = 0;
};

class IPacer {
  public:
    virtual ~IPacer() = default;
    // Waits `ms` milliseconds (at least that long, for the real pacer).
    virtual void Pause(std::uint32_t ms) = 0;
    // Waits until `awaited` has arrived, at most as long as Pause(ms) would.
    // Returns the part of `ms` used (in unscaled milliseconds) when it
    // arrived in time, nothing when the whole pause passed. The default
    // blocks the calling thread at this pacer's scale.
    virtual std::optional<double> PauseUntil(std::uint32_t ms, IAwaited& awaited);
    // How long Pause(ms) sleeps, as a share of ms.
    virtual double PauseScale() const { return 1.0; }
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
    double PauseScale() const override { return m_scale; }
    double Scale() const { return m_scale; }

  private:
    double m_scale;
};

// The steady-clock time `ms` milliseconds from now.
std::chrono::steady_clock::time_point DeadlineAfter(double ms);

// Sleeps precisely until `ms` have passed (steady clock), resuming after
// early or interrupted sleeps.
void SleepAtLeast(double ms);

// Waits for `awaited` for at most `ms` real milliseconds, calling `between`
// (when set) before each wait of at most `sliceMs`; returns the real
// milliseconds it took when it arrived in time. The building block of every
// PauseUntil.
std::optional<double> WaitForArrival(double ms, IAwaited& awaited, void (*between)() = nullptr,
                                     double sliceMs = 0);

// A wait's real milliseconds (none: the whole pause passed) in the pause's
// own unscaled milliseconds, for a pacer that waits `scale` of each pause.
std::optional<double> Unscaled(const std::optional<double>& used, double scale);

} // namespace nw
