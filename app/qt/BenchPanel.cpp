#include "app/qt/BenchPanel.h"

#include "app/qt/IconArt.h"
#include "sim/SimBench.h"

#include <QButtonGroup>
#include <QLabel>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

namespace nw::qt {

namespace {
constexpr int kRefreshMs = 500;
}

CBenchPanel::CBenchPanel(sim::CSimBench& bench, QWidget* parent)
    : QWidget(parent, Qt::Window), m_bench(bench), m_group(new QButtonGroup(this)),
      m_verdict(new QLabel(this)), m_timer(new QTimer(this)) {
    setObjectName(QStringLiteral("bench"));
    setWindowTitle(QStringLiteral("Simulated bench"));
    setWindowIcon(AppIcon());
    auto* layout = new QVBoxLayout(this);

    auto* port = new QLabel(QStringLiteral("Line: %1").arg(QString::fromStdString(bench.Path())));
    port->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(port);
    layout->addWidget(new QLabel(QStringLiteral("Adapter on the line:")));

    QStringList names = {QString()};
    for (const std::string& n : sim::CSimBench::AdapterNames())
        names << QString::fromStdString(n);
    for (const QString& who : names) {
        auto* button = new QRadioButton(who.isEmpty() ? QStringLiteral("none") : who);
        button->setObjectName(QStringLiteral("attach-") + (who.isEmpty() ? "none" : who));
        button->setAccessibleName(QStringLiteral("Attach ") + button->text());
        m_group->addButton(button);
        layout->addWidget(button);
        // Toggled, not clicked: a screen reader's or a UI test's toggle
        // action attaches as a click does.
        connect(button, &QRadioButton::toggled, this, [this, who](bool on) {
            if (on)
                Attach(who);
        });
    }

    m_verdict->setWordWrap(true);
    m_verdict->setMinimumWidth(220);
    layout->addWidget(m_verdict);
    auto* hint = new QLabel(QStringLiteral(
        "Attach the adapter the main window asks for, then press its Start / Next button."));
    hint->setWordWrap(true);
    layout->addWidget(hint);
    layout->addStretch();

    connect(m_timer, &QTimer::timeout, this, &CBenchPanel::Refresh);
    m_timer->start(kRefreshMs);
    Refresh();
}

void CBenchPanel::Attach(const QString& who) {
    if (who.isEmpty())
        m_bench.Detach();
    else
        m_bench.Attach(who.toStdString());
    Refresh();
}

void CBenchPanel::Refresh() {
    const QString attached = QString::fromStdString(m_bench.Attached());
    const QString name = QStringLiteral("attach-") + (attached.isEmpty() ? "none" : attached);
    for (QAbstractButton* b : m_group->buttons()) {
        if (b->objectName() == name && !b->isChecked()) {
            const QSignalBlocker quiet(b); // shows the bench, attaches nothing
            b->setChecked(true);
        }
    }
    m_verdict->setText(QString::fromStdString(m_bench.NetworkVerdict()));
}

} // namespace nw::qt
