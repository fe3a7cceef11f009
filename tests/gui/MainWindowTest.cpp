// The main window through its widgets on the simulated bench: the start-up
// states, Port Open / Port Close, a whole 1:2 wizard run, the 1:N radios,
// Check OLMA, the about item, and how input and closing wait for a running
// operation.
#include "GuiFixture.h"

#include "app/qt/AboutBox.h"
#include "res/ControlIds.h"
#include "res/Strings.h"
#include "ui/Messages.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <utility>

#include <unistd.h>

namespace nw::test {
namespace {

namespace fs = std::filesystem;
using namespace id::main;

constexpr int kOpenSet[] = {
    kButtonPortClose,    kButtonCheck, kButtonFactoryReset, kButtonStart, kRadioMultiDrop,
    kRadioNodeSwitching, kRadio1To2,   kRadio1To3,          kRadio1To4,   kButtonManual};

class GuiMainWindow : public GuiBench {
  protected:
    void ExpectOpenSet(bool open) {
        EXPECT_EQ(Main(kButtonPortOpen)->isEnabled(), !open);
        for (int id : kOpenSet)
            EXPECT_EQ(Main(id)->isEnabled(), open) << id;
    }
    // Exactly one page is shown; its number.
    int ShownPage() {
        int shown = 0;
        for (int id : id::kPicturePages) {
            if (window->Picture(id)->isVisible()) {
                EXPECT_EQ(shown, 0) << "pages " << shown << " and " << id << " both shown";
                shown = id;
            }
        }
        return shown;
    }
};

// A sysfs and /dev with two serial lines, as the port list reads them.
class FakePorts {
  public:
    FakePorts() {
        root = fs::temp_directory_path() / ("nw_gui_ports_" + std::to_string(::getpid()));
        fs::create_directories(root / "sys/devices/platform/serial8250");
        fs::create_directories(root / "dev");
        for (const char* tty : {"ttyS1", "rfcomm0"}) {
            fs::create_directories(root / "sys/class/tty" / tty);
            std::ofstream(root / "dev" / tty) << "";
        }
        fs::create_directory_symlink("../../../devices/platform/serial8250",
                                     root / "sys/class/tty/ttyS1/device");
    }
    ~FakePorts() { fs::remove_all(root); }
    std::string Dev(const char* tty) const { return (root / "dev" / tty).string(); }
    fs::path root;
};

TEST_F(GuiMainWindow, StartsWithThePortListDefaultsAndOverview) {
    FakePorts tree;
    CSerialEnum ports((tree.root / "sys").string(), (tree.root / "dev").string());
    OpenWindow(&ports);

    auto* port = Main<QComboBox>(kComboPort);
    ASSERT_EQ(port->count(), 2);
    EXPECT_EQ(port->itemText(0).toStdString(), tree.Dev("rfcomm0"));
    EXPECT_EQ(port->itemText(1).toStdString(), tree.Dev("ttyS1"));
    EXPECT_EQ(port->currentIndex(), -1); // no "COM1" among them
    EXPECT_TRUE(port->currentText().isEmpty());
    EXPECT_EQ(Main<QComboBox>(kComboBaud)->currentText(), "9600");
    EXPECT_EQ(Main<QComboBox>(kComboBaud)->count(), 11);
    EXPECT_EQ(Main<QComboBox>(kComboParity)->currentText(), "None");
    EXPECT_EQ(Main<QComboBox>(kComboStopBits)->currentText(), "1");

    ExpectOpenSet(false);
    EXPECT_FALSE(Main(kButtonRestart)->isEnabled());
    EXPECT_TRUE(Main(kCheckDisableResponse)->isEnabled());
    EXPECT_EQ(Message(), msg::kPortOpenPlease);
    EXPECT_TRUE(Main<QAbstractButton>(kRadioMultiDrop)->isChecked());
    EXPECT_TRUE(Main<QAbstractButton>(kRadio1To2)->isChecked());
    EXPECT_EQ(ShownPage(), 138);
    // The pages lie on the picture area, above it.
    EXPECT_EQ(window->Picture(138)->geometry(), Main(kPictureArea)->geometry());

    EXPECT_EQ(window->windowTitle(), "Tessor_Nodewright_v1.0.0");
    EXPECT_FALSE(window->windowIcon().isNull());
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
}

TEST_F(GuiMainWindow, PortOpenAndPortCloseSwitchTheControlSets) {
    OpenWindow();
    OpenPort();
    ExpectOpenSet(true);
    EXPECT_FALSE(Main(kButtonRestart)->isEnabled());
    EXPECT_EQ(Message(), msg::kPortOpen);
    EXPECT_TRUE(window->Logic().m_port.IsOpen());

    Click(Main(kButtonPortClose));
    ExpectOpenSet(false);
    EXPECT_EQ(Message(), msg::kPortClose);
    EXPECT_FALSE(window->Logic().m_port.IsOpen());
}

TEST_F(GuiMainWindow, PortThatCannotOpenIsReportedInOneBox) {
    OpenWindow();
    auto* combo = Main<QComboBox>(kComboPort);
    QTest::keyClicks(combo->lineEdit(), QStringLiteral("/nonexistent/ttyUSB9"));
    EXPECT_EQ(AnswerOneBox([&] { Click(Main(kButtonPortOpen)); }), msg::kSerialPortOpenError);
    ExpectOpenSet(false);
    EXPECT_EQ(Message(), msg::kPortOpenPlease);
}

TEST_F(GuiMainWindow, OneToTwoWizardClickedThroughFormsTheNetwork) {
    OpenWindow();
    OpenPort();
#ifdef NW_HAVE_QPA
    Announcements screenReader(Main(kStaticMessage));
#endif
    Press("master");
    EXPECT_EQ(Caption(kButtonStart), msg::kNext);
    EXPECT_EQ(Message(), msg::kConnectMasterNext);
    EXPECT_EQ(ShownPage(), 142);
    EXPECT_TRUE(Main(kButtonRestart)->isEnabled());
    EXPECT_FALSE(Main(kRadio1To3)->isEnabled());

    Press("master");
    EXPECT_EQ(Message(), msg::kConnectSlave1);
    EXPECT_EQ(ShownPage(), 150);
    Press("slave1");
    EXPECT_EQ(Message(), msg::kConnectSlave2);
    EXPECT_EQ(ShownPage(), 156);
    Press("slave2");
    EXPECT_EQ(Message(), msg::kConnectMasterLast);
    EXPECT_EQ(ShownPage(), 142);
    Press("master");
    EXPECT_EQ(Message(), msg::kMultiComplete);
    EXPECT_EQ(Caption(kButtonStart), msg::kStart);
    EXPECT_TRUE(Main(kButtonStart)->isEnabled());
    EXPECT_EQ(window->Logic().m_nStep, 0);
#ifdef NW_HAVE_QPA
    // A screen reader is told every new message, once, in order.
    const std::vector<std::string> heard = {
        msg::kConnectMasterNext, msg::kSettingNow,    msg::kConnectSlave1,
        msg::kSettingNow,        msg::kConnectSlave2, msg::kSettingNow,
        msg::kConnectMasterLast, msg::kSettingNow,    msg::kMultiComplete};
    EXPECT_EQ(screenReader.heard, heard);
#endif

    const sim::AdapterState master = State("master");
    EXPECT_EQ(master.s46, State("slave1").address);
    EXPECT_EQ(master.s54, State("slave2").address);
    EXPECT_EQ(master.mode, 1);
    EXPECT_EQ(State("slave2").s46, master.address);
    EXPECT_EQ(bench.NetworkVerdict().rfind("network: OK", 0), 0u) << bench.NetworkVerdict();
}

TEST_F(GuiMainWindow, OneToNRadiosSwitchTheOverviewAtOnceAndModeIsItsOwnGroup) {
    OpenWindow();
    OpenPort();
    Click(Main(kRadio1To3));
    EXPECT_EQ(ShownPage(), 139);
    DoAction(Main(kRadio1To4), QAccessibleActionInterface::toggleAction()); // as a click does
    EXPECT_EQ(ShownPage(), 129);
    EXPECT_EQ(window->Logic().m_nOneToN, NetworkSize::OneToFour);
    Click(Main(kRadioNodeSwitching));
    EXPECT_EQ(window->Logic().m_nMode, ConnectionMode::NodeSwitching);
    EXPECT_EQ(ShownPage(), 129); // the mode radio changes no picture
    EXPECT_TRUE(Main<QAbstractButton>(kRadio1To4)->isChecked());
    EXPECT_FALSE(Main<QAbstractButton>(kRadio1To2)->isChecked());
    EXPECT_FALSE(Main<QAbstractButton>(kRadioMultiDrop)->isChecked());
    Click(Main(kRadio1To2));
    EXPECT_EQ(ShownPage(), 138);
    EXPECT_EQ(window->Logic().m_nStep, 0);
}

TEST_F(GuiMainWindow, CheckOlmaShowsTheReportOrNotDetected) {
    OpenWindow();
    OpenPort();
    ASSERT_TRUE(bench.Attach("slave3"));
    const std::string report = AnswerOneBox([&] { Click(Main(kButtonCheck)); });
    EXPECT_NE(report.find(State("slave3").address), std::string::npos) << report;
    bench.Detach();
    EXPECT_EQ(AnswerOneBox([&] { Click(Main(kButtonCheck)); }), msg::kNotDetected);
}

// Runs `open`, expecting the about box; checks it and closes it with 확인.
void ExpectAboutBox(const std::function<void()>& open) {
    bool seen = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* about = qobject_cast<qt::CAboutBox*>(QApplication::activeModalWidget());
        if (about == nullptr || !about->isVisible())
            return;
        seen = true;
        EXPECT_EQ(about->windowTitle().toStdString(), "Tessor_Nodewright_v1.0.0 정보");
        QStringList texts;
        for (const QLabel* l : about->findChildren<QLabel*>())
            texts << l->text();
        EXPECT_TRUE(texts.contains("Tessor_Nodewright Version 1.0.0 2010.04.12"));
        EXPECT_TRUE(texts.contains(QString::fromUtf8(res::kAboutNotice)));
        auto* ok = about->ControlAs<QPushButton>(res::kIdOk);
        ASSERT_NE(ok, nullptr);
        EXPECT_EQ(ok->text().toStdString(), "확인");
        EXPECT_TRUE(ok->isDefault());
        Click(ok);
    });
    poll.start();
    open();
    poll.stop();
    EXPECT_TRUE(seen) << "no about box";
}

TEST_F(GuiMainWindow, AboutItemInTheContextMenuAndOnF1) {
    OpenWindow();
    const QList<QAction*> actions = window->AboutMenu()->actions();
    ASSERT_EQ(actions.size(), 1);
    EXPECT_EQ(actions[0]->text().toStdString(), res::kAboutMenuText);
    // A right click on the window offers it.
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(5, 5),
                                window->mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(window.get(), &menuEvent);
    EXPECT_TRUE(window->AboutMenu()->isVisible());
    ExpectAboutBox([&] { actions[0]->trigger(); });
    EXPECT_FALSE(window->AboutMenu()->isVisible());

    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    ExpectAboutBox([&] { QTest::keyClick(window.get(), Qt::Key_F1); });
    EXPECT_TRUE(window->isVisible());
}

// As in the original dialog: Enter presses the focused button; with no
// button focused it ends the window (and the program) as OK does.
TEST_F(GuiMainWindow, EnterPressesTheFocusedButtonElseEndsTheWindow) {
    OpenWindow();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    Main(kButtonPortOpen)->setFocus();
    EXPECT_EQ(AnswerOneBox([&] { QTest::keyClick(Main(kButtonPortOpen), Qt::Key_Return); }),
              msg::kSerialPortOpenError); // the port box is empty
    EXPECT_TRUE(window->isVisible());
    Main(kComboBaud)->setFocus();
    EXPECT_TRUE(AnswerBoxes([&] { QTest::keyClick(Main(kComboBaud), Qt::Key_Return); }).empty());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Accepted);
}

// Samples state on every timer tick while a handler runs.
class Sampler {
  public:
    explicit Sampler(std::function<void()> sample) : m_sample(std::move(sample)) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            ++ticks;
            m_sample();
        });
        m_timer.start(1);
    }
    int ticks = 0;

  private:
    std::function<void()> m_sample;
    QTimer m_timer;
};

TEST_F(GuiMainWindow, BusyCursorAndPaintingWhileAStepRuns) {
    OpenWindow();
    OpenPort();
    Press("master");
    bool busyAlways = true;
    std::vector<std::string> painted;
    auto* message = Main<QLabel>(kStaticMessage);
    struct PaintSpy : QObject {
        std::vector<std::string>* out;
        bool eventFilter(QObject* o, QEvent* e) override {
            if (e->type() == QEvent::Paint)
                out->push_back(static_cast<QLabel*>(o)->text().toStdString());
            return false;
        }
    } spy;
    spy.out = &painted;
    message->installEventFilter(&spy);
    {
        Sampler sampler([&] {
            const QCursor* c = QApplication::overrideCursor();
            busyAlways = busyAlways && c != nullptr && c->shape() == Qt::WaitCursor;
        });
        Press("master"); // step 2: "Setting now", then the report's pauses
        EXPECT_GT(sampler.ticks, 0);
    }
    message->removeEventFilter(&spy);
    EXPECT_TRUE(busyAlways);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // The message painted while the step was still running.
    EXPECT_NE(std::find(painted.begin(), painted.end(), msg::kSettingNow), painted.end());
}

// An accessibility action comes over the bus, and a click made by code or a
// timer is no input event: the pause holds none of them back. The window
// takes none while a step runs, and says so to assistive technology.
TEST_F(GuiMainWindow, NothingElseRunsWhileAStepRuns) {
    OpenWindow();
    OpenPort();
    ASSERT_TRUE(bench.Attach("master"));
    bench.ClearTranscript();
    bool tried = false;
    const std::vector<std::string> boxes = AnswerBoxes([&] {
        Sampler sampler([&] {
            if (std::exchange(tried, true))
                return;
            for (int id : {kButtonCheck, kButtonStart, kRadio1To3}) {
                EXPECT_TRUE(Accessible(Main(id))->state().disabled) << id;
                DoAction(Main(id), QAccessibleActionInterface::pressAction());
                DoAction(Main(id), QAccessibleActionInterface::toggleAction());
                Main<QAbstractButton>(id)->click();
            }
        });
        Click(Main(kButtonStart));
        QTest::qWait(300); // a press clicks 100 ms later
    });
    ASSERT_TRUE(tried);
    EXPECT_TRUE(boxes.empty()) << boxes.front();
    EXPECT_EQ(bench.Received(), "at\r\nat+btinfo?\r\nats53?\r\n"); // step 1's bytes alone
    EXPECT_EQ(Message(), msg::kConnectMasterNext);
    EXPECT_EQ(window->Logic().m_nOneToN, NetworkSize::OneToTwo);
    EXPECT_FALSE(Main<QAbstractButton>(kRadio1To3)->isChecked());
    for (int id : kOpenSet) // as the logic left them
        EXPECT_EQ(Accessible(Main(id))->state().disabled, !Main(id)->isEnabled()) << id;
}

TEST_F(GuiMainWindow, CloseAskedDuringAnOperationWaitsForItsEnd) {
    OpenWindow();
    OpenPort();
    bool visibleAfterClose = false;
    QTimer::singleShot(0, [&] {
        window->close(); // the window manager's close box
        visibleAfterClose = window->isVisible();
    });
    Press("master");
    EXPECT_TRUE(visibleAfterClose);
    EXPECT_EQ(Message(), msg::kConnectMasterNext); // the step ran to its end
    EXPECT_FALSE(window->isVisible());
}

#ifdef NW_HAVE_QPA
TEST_F(GuiMainWindow, ClickDuringAStepIsHandledAfterItAgainstTheStatesItLeft) {
    OpenWindow();
    OpenPort();
    // A failed step leaves the 1:N radios enabled: the click made during it
    // takes effect afterwards.
    bool posted = false;
    bool untouched = true;
    {
        Sampler sampler([&] {
            if (!posted) {
                PostClick(Main(kRadio1To3));
                posted = true;
            }
            untouched = untouched && window->Logic().m_nOneToN == NetworkSize::OneToTwo &&
                        !Main<QAbstractButton>(kRadio1To3)->isChecked();
        });
        Press("");
        EXPECT_GT(sampler.ticks, 1);
    }
    ASSERT_TRUE(posted);
    EXPECT_TRUE(untouched);
    EXPECT_EQ(window->Logic().m_nOneToN, NetworkSize::OneToTwo);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->Logic().m_nOneToN == NetworkSize::OneToThree; }, 2000));
    EXPECT_EQ(ShownPage(), 139);

    // A step that finds the adapter disables the radios: the click made
    // during it meets a disabled radio and does nothing.
    posted = false;
    {
        Sampler sampler([&] {
            if (!posted) {
                PostClick(Main(kRadio1To4));
                posted = true;
            }
        });
        Press("master");
    }
    ASSERT_TRUE(posted);
    QTest::qWait(50);
    EXPECT_EQ(window->Logic().m_nOneToN, NetworkSize::OneToThree);
    EXPECT_EQ(ShownPage(), 145);
}
#endif

} // namespace
} // namespace nw::test
