#include "protocol/Pacer.h"

#include <chrono>
#include <thread>

namespace nw {

void SleepAtLeast(double ms) {
    if (ms <= 0)
        return;
    using Clock = std::chrono::steady_clock;
    const auto until = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                          std::chrono::duration<double, std::milli>(ms));
    while (Clock::now() < until)
        std::this_thread::sleep_until(until);
}

void CRealPacer::Pause(std::uint32_t ms) {
    SleepAtLeast(ms);
}

void CScaledPacer::Pause(std::uint32_t ms) {
    SleepAtLeast(ms * m_scale);
}

} // namespace nw
