#include "app/qt/PaintingPause.h"

#include "protocol/Pacer.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <cmath>

namespace nw::qt {

void PauseKeepingPainted(double ms) {
    if (ms <= 0)
        return;
    using Clock = std::chrono::steady_clock;
    const auto until = DeadlineAfter(ms);
    for (auto now = Clock::now(); now < until; now = Clock::now()) {
        const double left = std::chrono::duration<double, std::milli>(until - now).count();
        QEventLoop loop;
        QTimer timer;
        timer.setTimerType(Qt::PreciseTimer);
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        timer.start(static_cast<int>(std::ceil(left)));
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
}

namespace {

constexpr double kFrameMs = 16;

void ProcessPaintEvents() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

std::optional<double> WaitKeepingPainted(double ms, IAwaited& awaited) {
    return WaitForArrival(ms, awaited, &ProcessPaintEvents, kFrameMs);
}

} // namespace nw::qt
