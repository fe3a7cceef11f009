#include "app/qt/StartupProbe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

#include <ctime>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

namespace nw::qt {

double MsSinceProcessStart() {
    // Field 22 of /proc/self/stat: start time in clock ticks since boot. The
    // command name (field 2) is in parentheses and may hold spaces.
    std::ifstream in("/proc/self/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto close = stat.rfind(')');
    if (close == std::string::npos)
        return -1;
    std::istringstream fields(stat.substr(close + 2));
    std::string field;
    unsigned long long startTicks = 0;
    for (int i = 3; i <= 22 && fields >> field; ++i) {
        if (i == 22)
            startTicks = std::stoull(field);
    }
    const long ticksPerSecond = ::sysconf(_SC_CLK_TCK);
    timespec now{};
    if (startTicks == 0 || ticksPerSecond <= 0 || ::clock_gettime(CLOCK_BOOTTIME, &now) != 0)
        return -1;
    const double nowMs =
        static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
    return nowMs - static_cast<double>(startTicks) * 1e3 / static_cast<double>(ticksPerSecond);
}

CStartupProbe::CStartupProbe(std::function<void(double)> report, QObject* parent)
    : QObject(parent), m_report(std::move(report)) {
    QCoreApplication::instance()->installEventFilter(this);
}

bool CStartupProbe::eventFilter(QObject* watched, QEvent* event) {
    if (!m_done && event->type() == QEvent::Paint) {
        m_done = true;
        QCoreApplication::instance()->removeEventFilter(this);
        // Report once this paint has been delivered.
        QTimer::singleShot(0, this, [this] { m_report(MsSinceProcessStart()); });
    }
    return QObject::eventFilter(watched, event);
}

} // namespace nw::qt
