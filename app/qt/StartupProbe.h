// Measures how long the program takes from the start of its process to the
// first paint of a window, for the start-up figure in the documentation.
#pragma once

#include <QObject>

#include <functional>

namespace nw::qt {

// Milliseconds since the kernel started this process (10 ms resolution);
// -1 where the system does not say.
double MsSinceProcessStart();

// Watches the application for its first paint event, then calls `report`
// once with the time since process start and removes itself.
class CStartupProbe : public QObject {
    Q_OBJECT
  public:
    explicit CStartupProbe(std::function<void(double ms)> report, QObject* parent = nullptr);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::function<void(double)> m_report;
    bool m_done = false;
};

} // namespace nw::qt
