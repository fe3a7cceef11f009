// The desktop program's main window on the simulated bench, driven through
// its widgets: mouse clicks, typing into the port box, message boxes
// answered as a user answers them, and what a screen reader is told.
#pragma once

#include "app/qt/MainWindow.h"
#include "app/qt/ManualWindow.h"
#include "app/qt/PaintingPause.h"
#include "res/ControlIds.h"
#include "serial/SerialEnum.h"
#include "sim/SimBench.h"
#include "support/QuietLine.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QSettings>
#include <QTest>
#include <QTimer>

#ifdef NW_HAVE_QPA
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>
#include <qpa/qwindowsysteminterface.h>
#endif

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace nw::test {

// Clicks a widget with the left button: a radio button or check box on its
// indicator, anything else in its middle.
inline void Click(QWidget* widget) {
    ASSERT_NE(widget, nullptr);
    QPoint at = widget->rect().center();
    if (qobject_cast<QRadioButton*>(widget) || qobject_cast<QCheckBox*>(widget))
        at = QPoint(6, widget->height() / 2);
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, at);
}

// What assistive technology queries for `w`, and its name there.
inline QAccessibleInterface* Accessible(QWidget* w) {
    return QAccessible::queryAccessibleInterface(w);
}
inline std::string AccessibleName(QWidget* w) {
    return Accessible(w)->text(QAccessible::Name).toStdString();
}

#ifdef NW_HAVE_QPA
// Clicks `target` as a real mouse does: the press and release go into the
// platform's event queue and reach the widget when the event loop takes them.
inline void PostClick(QWidget* target) {
    QWidget* top = target->window();
    const QPointF local = target->mapTo(top, QPoint(6, target->height() / 2));
    const QPointF global = top->mapToGlobal(local);
    for (const auto& [buttons, type] : {std::pair{Qt::LeftButton, QEvent::MouseButtonPress},
                                        std::pair{Qt::NoButton, QEvent::MouseButtonRelease}})
        QWindowSystemInterface::handleMouseEvent(top->windowHandle(), local, global, buttons,
                                                 Qt::LeftButton, type);
}

// While one lives, accessibility is on (as with a screen reader running) and
// the name of `label` is recorded each time it is announced.
struct Announcements {
    explicit Announcements(QWidget* label) {
        s_label = label, s_heard.clear();
        m_previous = QAccessible::installUpdateHandler([](QAccessibleEvent* event) {
            if (event->object() == s_label && event->type() == QAccessible::ObjectShow)
                s_heard.push_back(AccessibleName(s_label));
        });
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
    }
    ~Announcements() {
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(false);
        QAccessible::installUpdateHandler(m_previous);
    }
    static inline QWidget* s_label = nullptr;
    static inline std::vector<std::string> s_heard;
    QAccessible::UpdateHandler m_previous;
};
#endif

// Runs `action`, and `tick` every few milliseconds meanwhile (inside its
// pauses and modal windows too).
inline void WhileRunning(const std::function<void()>& action, const std::function<void()>& tick) {
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, tick);
    timer.start(2);
    action();
}

// Runs `action`, answering every message box that appears meanwhile with OK;
// returns their texts in order.
inline std::vector<std::string> AnswerBoxes(const std::function<void()>& action) {
    std::vector<std::string> texts;
    WhileRunning(action, [&texts] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible())
            return;
        texts.push_back(box->text().toStdString());
        EXPECT_EQ(box->buttons().size(), 1) << "a message box with more than OK";
        box->button(QMessageBox::Ok)->click();
    });
    return texts;
}

class GuiBench : public ::testing::Test {
  protected:
    void SetUp() override {
        QSettings().clear(); // every test starts from a first run
        std::string error;
        ASSERT_TRUE(bench.Start(&error)) << error;
    }

    // Shows the main window: no ports listed, pauses of 3 % then until the line is quiet.
    void OpenWindow() {
        qt::MainWindowOptions options;
        options.ports = &noPorts;
        options.pauseScale = 0.03;
        options.afterPause = [this] { WaitForQuietLine(); };
        options.recordsPath = recordsPath;
        window = std::make_unique<qt::CMainWindow>(options);
        line = std::make_unique<QuietLine>(bench, window->Logic().m_port);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    void WaitForQuietLine() {
        line->Wait([] { qt::PauseKeepingPainted(0.2); });
    }
    template <class T = QWidget> T* Main(int id) const { return window->ControlAs<T>(id); }
    // Types the bench's line into the port box, presses Port Open.
    void OpenPort() {
        QTest::keyClicks(Main<QComboBox>(id::main::kComboPort)->lineEdit(),
                         QString::fromStdString(bench.Path()));
        Click(Main(id::main::kButtonPortOpen));
        ASSERT_EQ(window->Logic().m_bPortOpen, 1) << "Port Open failed";
    }
    // Attaches `who` ("" detaches) and presses Start / Next.
    void Press(const std::string& who) {
        if (who.empty())
            bench.Detach();
        else
            ASSERT_TRUE(bench.Attach(who));
        Click(Main(id::main::kButtonStart));
        EXPECT_EQ(window->Host().WaitDepth(), 0);
    }
    // The message area's text, which assistive technology must hear too.
    std::string Message() const {
        auto* label = Main<QLabel>(id::main::kStaticMessage);
        EXPECT_EQ(AccessibleName(label), label->text().toStdString());
        return label->text().toStdString();
    }
    // Presses Manual Setting and runs `body` once the window is open and
    // waiting for the user; closes it afterwards.
    void InManualWindow(const std::function<void(qt::CManualWindow&)>& body) {
        bool ran = false;
        WhileRunning([&] { Click(Main(id::main::kButtonManual)); },
                     [&] {
                         qt::CManualWindow* m = window->ManualWindow();
                         if (ran || m == nullptr || QApplication::activeModalWidget() != m)
                             return;
                         ran = true;
                         body(*m);
                         m->close();
                     });
        EXPECT_TRUE(ran) << "the Manual Setting window did not open";
    }

    // Torn down in reverse: the window, its line's counter, the bench.
    sim::CSimBench bench;
    CSerialEnum noPorts{"/nonexistent-sys", "/nonexistent-dev"};
    std::unique_ptr<QuietLine> line;
    std::unique_ptr<qt::CMainWindow> window;
    std::string recordsPath; // the window's records database; empty: the default
};

} // namespace nw::test
