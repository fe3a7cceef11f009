// The demo's bench panel: a small window beside the main window that puts
// one simulated adapter at a time on the simulated line (master, slave1 ..
// slave4, or none) and tells whether the adapters configured so far form the
// network. Shown only when the program runs on its in-process bench.
#pragma once

#include <QWidget>

class QButtonGroup;
class QLabel;
class QTimer;

namespace nw::sim {
class CSimBench;
}

namespace nw::qt {

class CBenchPanel : public QWidget {
    Q_OBJECT
  public:
    CBenchPanel(sim::CSimBench& bench, QWidget* parent = nullptr);

    // Attaches `who` ("" detaches), as the panel's buttons do.
    void Attach(const QString& who);

  private:
    void Refresh();

    sim::CSimBench& m_bench;
    QButtonGroup* m_group;
    QLabel* m_verdict;
    QTimer* m_timer;
};

} // namespace nw::qt
