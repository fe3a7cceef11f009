#include "protocol/Pacer.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace nw {

std::chrono::steady_clock::time_point DeadlineAfter(double ms) {
    using Clock = std::chrono::steady_clock;
    return Clock::now() + std::chrono::duration_cast<Clock::duration>(
                              std::chrono::duration<double, std::milli>(ms));
}

void SleepAtLeast(double ms) {
    if (ms <= 0)
        return;
    const auto until = DeadlineAfter(ms);
    while (std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_until(until);
}

std::optional<double> WaitForArrival(double ms, IAwaited& awaited, void (*between)(),
                                     double sliceMs) {
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const auto until = DeadlineAfter(ms);
    const auto slice = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double, std::milli>(sliceMs));
    for (;;) {
        if (awaited.Arrived())
            return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        const auto now = Clock::now();
        if (now >= until)
            return std::nullopt;
        if (between != nullptr)
            between();
        awaited.WaitForChange(sliceMs > 0 ? std::min(until, now + slice) : until);
    }
}

std::optional<double> IPacer::PauseUntil(std::uint32_t ms, IAwaited& awaited) {
    const double scale = PauseScale();
    return Unscaled(WaitForArrival(ms * scale, awaited), scale);
}

std::optional<double> Unscaled(const std::optional<double>& used, double scale) {
    if (!used)
        return std::nullopt;
    return scale > 0 ? *used / scale : 0.0;
}

void CRealPacer::Pause(std::uint32_t ms) {
    SleepAtLeast(ms);
}

void CScaledPacer::Pause(std::uint32_t ms) {
    SleepAtLeast(ms * m_scale);
}

} // namespace nw
