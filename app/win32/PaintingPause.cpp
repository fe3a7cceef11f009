#include "app/win32/PaintingPause.h"

#include "app/win32/Win32.h"

#include <chrono>
#include <cmath>

namespace nw::win {

namespace {

// Sent messages are delivered inside PeekMessage; paint messages are taken
// and dispatched here. Input and other posted messages stay queued for the
// loop that runs once the operation ends.
void DispatchPaint() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT | PM_QS_SENDMESSAGE))
        DispatchMessageW(&msg);
}

} // namespace

std::optional<double> WaitKeepingPainted(double ms, IAwaited& awaited) {
    return WaitForArrival(ms, awaited, &DispatchPaint, 16); // a frame at a time
}

void PauseKeepingPainted(double ms) {
    using Clock = std::chrono::steady_clock;
    const auto deadline =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(
                           std::chrono::duration<double, std::milli>(ms > 0 ? ms : 0));
    for (;;) {
        DispatchPaint();
        const auto left = deadline - Clock::now();
        if (left <= Clock::duration::zero())
            return;
        const double leftMs = std::chrono::duration<double, std::milli>(left).count();
        // Wakes for paint and sent messages only: queued input does not end
        // the wait, so it cannot turn it into a busy loop.
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(std::ceil(leftMs)),
                                    QS_PAINT | QS_SENDMESSAGE, 0);
    }
}

} // namespace nw::win
