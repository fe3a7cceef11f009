#include "protocol/Pacer.h"

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

void CRealPacer::Pause(std::uint32_t ms) {
    SleepAtLeast(ms);
}

void CScaledPacer::Pause(std::uint32_t ms) {
    SleepAtLeast(ms * m_scale);
}

} // namespace nw
