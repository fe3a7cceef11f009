// The desktop program's main window on the simulated bench, driven through
// its widgets: clicks with the mouse, typing into the port box, and message
// boxes answered the way a user answers them (the answerer finds the modal
// box, records its text and presses OK).
#pragma once

#include "app/qt/MainWindow.h"
#include "app/qt/ManualWindow.h"
#include "serial/SerialEnum.h"
#include "sim/SimBench.h"
#include "support/QuietLine.h"

#include <QAccessible>
#include <QString>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAbstractButton;
class QWidget;

namespace nw::test {

inline constexpr double kGuiScale = 0.03; // 2000 ms -> 60 ms, then until the line is quiet

// Clicks a widget with the left button where a user would: a radio button
// or check box on its indicator, anything else in its middle.
void Click(QWidget* widget);

#ifdef NW_HAVE_QPA
// Clicks `target` as a real mouse does: the press and release go into the
// platform's event queue and reach the widget when the event loop takes them.
void PostClick(QWidget* target);
#endif

// What assistive technology queries for `w`, and its name there.
QAccessibleInterface* Accessible(QWidget* w);
QString AccessibleName(QWidget* w);
// Runs an accessibility action (press, toggle) on `w` as a screen reader does.
void DoAction(QWidget* w, const QString& action);

#ifdef NW_HAVE_QPA
// While one lives, accessibility is on (as with a screen reader running) and
// the name of `label` is recorded each time it is announced.
class Announcements {
  public:
    explicit Announcements(QWidget* label);
    ~Announcements();
    std::vector<std::string> heard;

  private:
    static void Record(QAccessibleEvent* event);
    QWidget* m_label;
    QAccessible::UpdateHandler m_previous;
};
#endif

// Runs `action`, answering every message box that appears meanwhile with
// OK; returns their texts in order.
std::vector<std::string> AnswerBoxes(const std::function<void()>& action);
// The same, expecting exactly one box; its text ("" and a failure if none).
std::string AnswerOneBox(const std::function<void()>& action);

class GuiBench : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Builds and shows the main window on `ports` (empty by default).
    void OpenWindow(CSerialEnum* ports = nullptr);
    template <class T = QWidget> T* Main(int id) const { return window->ControlAs<T>(id); }
    // Types the bench's line into the port box and presses Port Open.
    void OpenPort();
    // Attaches `who` ("" detaches) and presses Start / Next.
    void Press(const std::string& who);
    std::string Message() const;
    // An adapter's state once the line is quiet.
    sim::AdapterState State(const std::string& who);
    std::string Caption(int id) const;
    // Presses Manual Setting and runs `body` once the window is open and
    // waiting for the user; closes it afterwards.
    void InManualWindow(const std::function<void(qt::CManualWindow&)>& body);

    sim::CSimBench bench;
    CSerialEnum noPorts{"/nonexistent-sys", "/nonexistent-dev"};
    std::unique_ptr<qt::CMainWindow> window;
    std::unique_ptr<QuietLine> line;
};

} // namespace nw::test
