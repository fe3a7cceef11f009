// The main window through its widgets on the simulated bench: a whole 1:2
// wizard run and what only a real window does meanwhile: input that waits
// for a step's end, painting under the busy cursor, a close that waits, a
// screen reader told every message; and message boxes over the window the
// user is in.
#include "GuiFixture.h"
#include "ui/Messages.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QRadioButton>
#include <QSettings>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <tuple>
#include <utility>

#include <unistd.h>

namespace nw::test {
namespace {

using namespace id::main;
namespace page = id::page;

// Records the text of a label each time it is painted.
struct PaintSpy : QObject {
    std::vector<std::string> painted;
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Paint)
            painted.push_back(static_cast<QLabel*>(o)->text().toStdString());
        return false;
    }
};

class GuiMainWindow : public GuiBench {};

TEST_F(GuiMainWindow, OneToTwoWizardThroughTheWidgets) {
    OpenWindow();
    OpenPort();
#ifdef NW_HAVE_QPA
    // A click made during a step is handled after it, against the states the
    // step left: a failed step leaves the 1:N radios enabled.
    bool posted = false;
    bool untouched = true;
    WhileRunning([&] { Press(""); },
                 [&] {
                     if (!std::exchange(posted, true))
                         PostClick(Main(kRadio1To3));
                     untouched = untouched && window->Logic().m_nOneToN == NetworkSize::OneToTwo;
                 });
    EXPECT_TRUE(untouched);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return window->Logic().m_nOneToN == NetworkSize::OneToThree; }, 2000));
    EXPECT_EQ(window->VisiblePicture(), page::k1To3Overview);
    Click(Main(kRadio1To2));
    std::optional<Announcements> screenReader(std::in_place, Main(kStaticMessage));
#endif

    // Step 1 takes nothing else meanwhile: not an accessibility action, not
    // a click by code; it disables the radios a posted click then meets.
    ASSERT_TRUE(bench.Attach("master"));
    bench.ClearTranscript();
    bool tried = false;
    const auto tryEverything = [&] {
        if (std::exchange(tried, true))
            return;
        for (int id : {kButtonCheck, kButtonStart, kRadio1To3}) {
            QAccessibleInterface* a = Accessible(Main(id));
            EXPECT_TRUE(a->state().disabled) << id;
            a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            a->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
            Main<QAbstractButton>(id)->click();
        }
#ifdef NW_HAVE_QPA
        PostClick(Main(kRadio1To4));
#endif
    };
    const std::vector<std::string> boxes = AnswerBoxes([&] {
        WhileRunning([&] { Click(Main(kButtonStart)); }, tryEverything);
        QTest::qWait(300); // an accessibility press clicks 100 ms later
    });
    ASSERT_TRUE(tried);
    EXPECT_TRUE(boxes.empty()) << boxes.front();
    EXPECT_EQ(bench.Received(), "at\r\nat+btinfo?\r\nats53?\r\n"); // step 1's bytes alone
    EXPECT_EQ(Message(), msg::kConnectMasterNext);
    EXPECT_EQ(window->Logic().m_nOneToN, NetworkSize::OneToTwo);
    EXPECT_EQ(window->VisiblePicture(), page::k1To2Master);
    EXPECT_EQ(AccessibleName(window->Picture(page::k1To2Master)),
              "1:2 network, attach the master next");
    EXPECT_FALSE(Accessible(Main(kButtonStart))->state().disabled);

    // Step 2 keeps the window painted under the busy cursor.
    bool busyAlways = true;
    PaintSpy spy;
    Main(kStaticMessage)->installEventFilter(&spy);
    WhileRunning([&] { Press("master"); },
                 [&] {
                     const QCursor* c = QApplication::overrideCursor();
                     busyAlways = busyAlways && c != nullptr && c->shape() == Qt::WaitCursor;
                 });
    Main(kStaticMessage)->removeEventFilter(&spy);
    EXPECT_TRUE(busyAlways);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_NE(std::find(spy.painted.begin(), spy.painted.end(), msg::kSettingNow),
              spy.painted.end());

    EXPECT_EQ(Message(), msg::kConnectSlave1);
    EXPECT_EQ(window->VisiblePicture(), page::k1To2Slave1);

    const std::tuple<const char*, const char*, int> steps[] = {
        {"slave1", msg::kConnectSlave2, page::k1To2Slave2},
        {"slave2", msg::kConnectMasterLast, page::k1To2Master}};
    for (const auto& [who, message, shown] : steps) {
        Press(who);
        EXPECT_EQ(Message(), message);
        EXPECT_EQ(window->VisiblePicture(), shown);
    }

    // The window manager's close box during the last step closes the window
    // once the step has run to its end.
    bool visibleAfterClose = false;
    QTimer::singleShot(0, [&] {
        window->close();
        visibleAfterClose = window->isVisible();
    });
    Press("master");
    EXPECT_TRUE(visibleAfterClose);
    EXPECT_EQ(Message(), msg::kMultiComplete);
    EXPECT_FALSE(window->isVisible());
#ifdef NW_HAVE_QPA
    const std::vector<std::string> heard = {
        msg::kConnectMasterNext, msg::kSettingNow,    msg::kConnectSlave1,
        msg::kSettingNow,        msg::kConnectSlave2, msg::kSettingNow,
        msg::kConnectMasterLast, msg::kSettingNow,    msg::kMultiComplete};
    EXPECT_EQ(screenReader->heard, heard);
#endif
    WaitForQuietLine();
    EXPECT_EQ(bench.NetworkVerdict().rfind("network: OK", 0), 0u) << bench.NetworkVerdict();
}

// The port reports a failed write through the main window's host; while the
// Manual Setting window is open the box must block that window too.
TEST_F(GuiMainWindow, MainWindowBoxesOpenOverTheManualWindow) {
    OpenWindow();
    OpenPort();
    InManualWindow([&](qt::CManualWindow& m) {
        QWidget* parent = nullptr;
        const auto answer = [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                parent = box->parentWidget();
                box->button(QMessageBox::Ok)->click();
            }
        };
        WhileRunning([&] { window->Host().MessageBox("reterror", ""); }, answer);
        EXPECT_EQ(parent, &m);
    });
}

TEST_F(GuiMainWindow, LineSettingsWizardAndMenuChoicesAreRememberedBetweenRuns) {
    OpenWindow();
    Main<QComboBox>(id::main::kComboBaud)->setCurrentText(QStringLiteral("19200"));
    Main<QComboBox>(id::main::kComboParity)->setCurrentText(QStringLiteral("Even"));
    Main<QComboBox>(id::main::kComboStopBits)->setCurrentText(QStringLiteral("2"));
    Main<QComboBox>(id::main::kComboPort)->setEditText(QStringLiteral("/dev/nodewright-gone"));
    Main<QCheckBox>(id::main::kCheckDisableResponse)->setChecked(true);
    window->Logic().OnRadio1To3();
    window->Logic().OnRadioNodeSwitching();
    const auto menu = [&](const char* name) {
        return window->AboutMenu()->findChild<QAction*>(QString::fromUtf8(name));
    };
    const auto menuChosen = [&] {
        return std::pair(menu("verifyEachStep")->isChecked() && window->Logic().m_verifyEachStep,
                         menu("replyPacing")->isChecked() &&
                             window->Logic().m_exchange.Pacing().mode == PacingMode::Reply);
    };
    EXPECT_EQ(menuChosen(), std::pair(false, false));
    menu("verifyEachStep")->trigger();
    menu("replyPacing")->trigger();
    window->close();
    line.reset();
    OpenWindow();
    EXPECT_EQ(menuChosen(), std::pair(true, true));
    menu("verifyEachStep")->trigger();
    window->close();
    line.reset();
    OpenWindow();
    EXPECT_EQ(menuChosen(), std::pair(false, true));
    EXPECT_EQ(Main<QComboBox>(id::main::kComboBaud)->currentText(), QStringLiteral("19200"));
    EXPECT_EQ(Main<QComboBox>(id::main::kComboParity)->currentText(), QStringLiteral("Even"));
    EXPECT_EQ(Main<QComboBox>(id::main::kComboStopBits)->currentText(), QStringLiteral("2"));
    EXPECT_EQ(Main<QComboBox>(id::main::kComboPort)->currentText(), QString()); // gone
    EXPECT_TRUE(Main<QCheckBox>(id::main::kCheckDisableResponse)->isChecked());
    EXPECT_EQ(window->Logic().m_nOneToN, NetworkSize::OneToThree);
    EXPECT_EQ(window->Logic().m_nMode, ConnectionMode::NodeSwitching);
    EXPECT_TRUE(Main<QRadioButton>(id::main::kRadio1To3)->isChecked());
    EXPECT_TRUE(Main<QRadioButton>(id::main::kRadioNodeSwitching)->isChecked());
    EXPECT_EQ(window->VisiblePicture(), id::page::k1To3Overview);
}

// Waits that end on the adapter's reply run through the window's own wait,
// which keeps it painted: Check writes what it always writes.
TEST_F(GuiMainWindow, ReplyPacedCheckThroughTheWindow) {
    OpenWindow();
    OpenPort();
    PacingPolicy reply;
    reply.mode = PacingMode::Reply;
    window->Logic().m_exchange.SetPacing(reply);
    ASSERT_TRUE(bench.Attach("master"));
    bench.ClearTranscript();
    const auto boxes = AnswerBoxes([&] { Click(Main(kButtonCheck)); });
    WaitForQuietLine();
    EXPECT_EQ(bench.Received(), "at\r\nat+btinfo?\r\nato\r\n");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("Bluetooth Address: 0001950A0B00"), std::string::npos) << boxes[0];
}

// Ports plugged in and pulled out while the window is up: the port box lists
// what is there, and what the user typed stays in it.
TEST_F(GuiMainWindow, PortBoxFollowsPortsPluggedAndPulled) {
    namespace fs = std::filesystem;
    const fs::path root =
        fs::path(::testing::TempDir()) / ("nw_gui_ports_" + std::to_string(::getpid()));
    fs::create_directories(root / "sys/class/tty/rfcomm0");
    fs::create_directories(root / "dev");
    CSerialEnum ports((root / "sys").string(), (root / "dev").string());
    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    struct Monitor : IPortMonitor {
        int fd;
        explicit Monitor(int f) : fd(f) {}
        std::vector<PortEvent> Wait() override { return {}; }
        std::vector<PortEvent> Take() override {
            char byte;
            return ::read(fd, &byte, 1) == 1 ? std::vector<PortEvent>{{}}
                                             : std::vector<PortEvent>{};
        }
        int Fd() const override { return fd; }
    };
    qt::MainWindowOptions options;
    options.ports = &ports;
    options.portMonitor = [&] { return std::make_unique<Monitor>(pipe[0]); };
    window = std::make_unique<qt::CMainWindow>(options);
    auto* box = Main<QComboBox>(id::main::kComboPort);
    EXPECT_EQ(box->count(), 0);
    box->setEditText(QStringLiteral("/dev/typed-by-hand"));
    const QString node = QString::fromStdString((root / "dev/rfcomm0").string());
    auto plug = [&](bool in) {
        if (in)
            std::ofstream(root / "dev/rfcomm0") << "";
        else
            fs::remove(root / "dev/rfcomm0");
        ASSERT_EQ(::write(pipe[1], "x", 1), 1);
        QTRY_COMPARE(box->count(), in ? 1 : 0);
    };
    plug(true);
    EXPECT_EQ(box->itemText(0), node);
    EXPECT_EQ(box->currentText(), QStringLiteral("/dev/typed-by-hand"));
    box->setCurrentIndex(0); // picked from the list, then pulled out
    plug(false);
    EXPECT_EQ(box->currentText(), node);
    EXPECT_TRUE(window->Logic().m_ports.empty());
    ::close(pipe[1]);
    window.reset();
    ::close(pipe[0]);
    fs::remove_all(root);
}

} // namespace
} // namespace nw::test
