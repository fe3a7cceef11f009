#include "GuiFixture.h"

#include "app/qt/PaintingPause.h"
#include "res/ControlIds.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#ifdef NW_HAVE_QPA
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>
#include <qpa/qwindowsysteminterface.h>
#endif

namespace nw::test {

namespace {
constexpr int kPollMs = 5;
} // namespace

void Click(QWidget* widget) {
    ASSERT_NE(widget, nullptr);
    QPoint at = widget->rect().center();
    if (qobject_cast<QRadioButton*>(widget) || qobject_cast<QCheckBox*>(widget))
        at = QPoint(6, widget->height() / 2);
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, at);
}

#ifdef NW_HAVE_QPA
void PostClick(QWidget* target) {
    QWidget* top = target->window();
    const QPointF local = target->mapTo(top, QPoint(6, target->height() / 2));
    const QPointF global = top->mapToGlobal(local);
    QWindow* w = top->windowHandle();
    QWindowSystemInterface::handleMouseEvent(w, local, global, Qt::LeftButton, Qt::LeftButton,
                                             QEvent::MouseButtonPress);
    QWindowSystemInterface::handleMouseEvent(w, local, global, Qt::NoButton, Qt::LeftButton,
                                             QEvent::MouseButtonRelease);
}
#endif

QAccessibleInterface* Accessible(QWidget* w) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    EXPECT_NE(a, nullptr);
    return a;
}

QString AccessibleName(QWidget* w) {
    QAccessibleInterface* a = Accessible(w);
    return a == nullptr ? QString() : a->text(QAccessible::Name);
}

void DoAction(QWidget* w, const QString& action) {
    QAccessibleInterface* a = Accessible(w);
    ASSERT_NE(a != nullptr ? a->actionInterface() : nullptr, nullptr);
    a->actionInterface()->doAction(action);
}

#ifdef NW_HAVE_QPA
namespace {
Announcements* g_listening = nullptr;
QPlatformAccessibility* Platform() {
    return QGuiApplicationPrivate::platformIntegration()->accessibility();
}
} // namespace

Announcements::Announcements(QWidget* label)
    : m_label(label), m_previous(QAccessible::installUpdateHandler(&Record)) {
    g_listening = this;
    Platform()->setActive(true);
}

Announcements::~Announcements() {
    Platform()->setActive(false);
    QAccessible::installUpdateHandler(m_previous);
    g_listening = nullptr;
}

void Announcements::Record(QAccessibleEvent* event) {
    if (event->object() == g_listening->m_label && event->type() == QAccessible::ObjectShow)
        g_listening->heard.push_back(AccessibleName(g_listening->m_label).toStdString());
}
#endif

std::vector<std::string> AnswerBoxes(const std::function<void()>& action) {
    std::vector<std::string> texts;
    QTimer poll;
    poll.setInterval(kPollMs);
    QObject::connect(&poll, &QTimer::timeout, [&texts] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible())
            return;
        texts.push_back(box->text().toStdString());
        QAbstractButton* ok = box->button(QMessageBox::Ok);
        EXPECT_NE(ok, nullptr) << "a message box without OK";
        EXPECT_EQ(box->buttons().size(), 1) << "a message box with more than OK";
        if (ok != nullptr)
            ok->click();
        else
            box->close();
    });
    poll.start();
    action();
    poll.stop();
    return texts;
}

std::string AnswerOneBox(const std::function<void()>& action) {
    const std::vector<std::string> texts = AnswerBoxes(action);
    EXPECT_EQ(texts.size(), 1u) << "expected one message box";
    return texts.empty() ? std::string() : texts.front();
}

void GuiBench::SetUp() {
    std::string error;
    ASSERT_TRUE(bench.Start(&error)) << error;
}

void GuiBench::TearDown() {
    window.reset();
    line.reset();
    bench.Stop();
}

void GuiBench::OpenWindow(CSerialEnum* ports) {
    qt::MainWindowOptions options;
    options.ports = ports != nullptr ? ports : &noPorts;
    options.pauseScale = kGuiScale;
    options.afterPause = [this] { line->Wait([] { qt::PauseKeepingPainted(0.2); }); };
    window = std::make_unique<qt::CMainWindow>(options);
    line = std::make_unique<QuietLine>(bench, window->Logic().m_port);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
}

void GuiBench::OpenPort() {
    auto* combo = Main<QComboBox>(id::main::kComboPort);
    ASSERT_NE(combo, nullptr);
    combo->lineEdit()->clear();
    QTest::keyClicks(combo->lineEdit(), QString::fromStdString(bench.Path()));
    Click(Main(id::main::kButtonPortOpen));
    ASSERT_EQ(window->Logic().m_bPortOpen, 1) << "Port Open failed";
}

void GuiBench::Press(const std::string& who) {
    if (who.empty())
        bench.Detach();
    else
        ASSERT_TRUE(bench.Attach(who));
    Click(Main(id::main::kButtonStart));
    EXPECT_EQ(window->Host().WaitDepth(), 0);
}

std::string GuiBench::Message() const {
    auto* label = Main<QLabel>(id::main::kStaticMessage);
    const std::string text = label->text().toStdString();
    EXPECT_EQ(AccessibleName(label).toStdString(), text) << "what assistive technology hears";
    return text;
}

sim::AdapterState GuiBench::State(const std::string& who) {
    line->Wait([] { qt::PauseKeepingPainted(0.2); });
    return bench.StateOf(who);
}

std::string GuiBench::Caption(int id) const {
    auto* button = Main<QAbstractButton>(id);
    const std::string text = button->text().toStdString();
    EXPECT_EQ(AccessibleName(button).toStdString(), text) << "what assistive technology hears";
    return text;
}

void GuiBench::InManualWindow(const std::function<void(qt::CManualWindow&)>& body) {
    bool ran = false;
    QTimer poll;
    poll.setInterval(kPollMs);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        qt::CManualWindow* manual = window->ManualWindow();
        if (ran || manual == nullptr || !manual->isVisible() ||
            QApplication::activeModalWidget() != manual)
            return;
        ran = true;
        poll.stop();
        body(*manual);
        manual->close();
    });
    poll.start();
    Click(Main(id::main::kButtonManual));
    poll.stop();
    EXPECT_TRUE(ran) << "the Manual Setting window did not open";
    EXPECT_EQ(window->ManualWindow(), nullptr);
}

} // namespace nw::test
