// The main window through its widgets on the simulated bench: a whole 1:2
// wizard run and what only a real window does meanwhile (input that waits
// for a step's end, painting under the busy cursor, a close that waits, a
// screen reader told every message), boxes over the window the user is in,
// choices remembered, the port box following the ports, records kept.
#include "GuiFixture.h"
#include "app/qt/RecordsWindow.h"
#include "ui/Messages.h"

#include <QAbstractButton>
#include <QMenu>
#include <QTableWidget>
#include <QTemporaryDir>

#include <algorithm>
#include <filesystem>
#include <fstream>
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

using GuiMainWindow = GuiBench;

TEST_F(GuiMainWindow, OneToTwoWizardThroughTheWidgets) {
    OpenWindow();
    OpenPort();
    // A radio is a radio to assistive technology; its toggle action runs what
    // a click runs.
    QAccessibleInterface* radio = Accessible(Main(kRadio1To3));
    EXPECT_EQ(radio->role(), QAccessible::RadioButton);
    radio->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(window->Logic().m_nOneToN, NetworkSize::OneToThree);
    EXPECT_EQ(window->VisiblePicture(), page::k1To3Overview);
#ifdef NW_HAVE_QPA
    // A click made during a step is handled after it, against the states the
    // step left: a failed step leaves the 1:N radios enabled.
    bool posted = false;
    bool untouched = true;
    WhileRunning([&] { Press(""); },
                 [&] {
                     if (!std::exchange(posted, true))
                         PostClick(Main(kRadio1To2));
                     untouched = untouched && window->Logic().m_nOneToN == NetworkSize::OneToThree;
                 });
    EXPECT_TRUE(untouched);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return window->Logic().m_nOneToN == NetworkSize::OneToTwo; }, 2000));
    std::optional<Announcements> screenReader(std::in_place, Main(kStaticMessage));
#else
    Click(Main(kRadio1To2));
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

    // Each step keeps the window painted under the busy cursor.
    const std::tuple<const char*, const char*, int> steps[] = {
        {"master", msg::kConnectSlave1, page::k1To2Slave1},
        {"slave1", msg::kConnectSlave2, page::k1To2Slave2},
        {"slave2", msg::kConnectMasterLast, page::k1To2Master}};
    for (const auto& [who, message, shown] : steps) {
        bool busyAlways = true;
        PaintSpy spy;
        Main(kStaticMessage)->installEventFilter(&spy);
        WhileRunning([&] { Press(who); },
                     [&] {
                         const QCursor* c = QApplication::overrideCursor();
                         busyAlways = busyAlways && c != nullptr && c->shape() == Qt::WaitCursor;
                     });
        Main(kStaticMessage)->removeEventFilter(&spy);
        EXPECT_TRUE(busyAlways && QApplication::overrideCursor() == nullptr) << who;
        EXPECT_NE(std::find(spy.painted.begin(), spy.painted.end(), msg::kSettingNow),
                  spy.painted.end());
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
    EXPECT_EQ(
        Announcements::s_heard,
        (std::vector<std::string>{msg::kConnectMasterNext, msg::kSettingNow, msg::kConnectSlave1,
                                  msg::kSettingNow, msg::kConnectSlave2, msg::kSettingNow,
                                  msg::kConnectMasterLast, msg::kSettingNow, msg::kMultiComplete}));
#endif
    WaitForQuietLine();
    EXPECT_EQ(bench.NetworkVerdict().rfind("network: OK", 0), 0u) << bench.NetworkVerdict();
}

// Manual Setting holds the main window: its buttons are unavailable to the
// accessibility bus and to code, and boxes the port raises through the main
// window's host open over the window the user is in.
TEST_F(GuiMainWindow, TheManualWindowHoldsTheMainWindowAndItsBoxes) {
    OpenWindow();
    OpenPort();
    ASSERT_TRUE(bench.Attach("master"));
    InManualWindow([&](qt::CManualWindow& m) {
        WaitForQuietLine();
        bench.ClearTranscript();
        EXPECT_TRUE(Accessible(Main(kButtonCheck))->state().disabled);
        Main<QAbstractButton>(kButtonCheck)->click();
        QWidget* parent = nullptr;
        WhileRunning([&] { window->Host().MessageBox("reterror", ""); },
                     [&] {
                         if (auto* box =
                                 qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                             parent = box->parentWidget();
                             box->button(QMessageBox::Ok)->click();
                         }
                     });
        EXPECT_EQ(parent, &m);
        EXPECT_EQ(bench.Received(), "");
    });
    EXPECT_FALSE(Accessible(Main(kButtonCheck))->state().disabled);
}

// Line settings, the wizard's choices and the menu's are remembered; a
// reply-paced Check waits through the window's own wait and writes what it
// always writes.
TEST_F(GuiMainWindow, ChoicesAreRememberedAndAReplyPacedCheckRuns) {
    OpenWindow();
    const auto combo = [&](int id) { return Main<QComboBox>(id); };
    combo(kComboBaud)->setCurrentText(QStringLiteral("19200"));
    combo(kComboParity)->setCurrentText(QStringLiteral("Even"));
    combo(kComboStopBits)->setCurrentText(QStringLiteral("2"));
    combo(kComboPort)->setEditText(QStringLiteral("/dev/nodewright-gone"));
    Main<QCheckBox>(kCheckDisableResponse)->setChecked(true);
    window->Logic().OnRadio1To3();
    window->Logic().OnRadioNodeSwitching();
    const auto menu = [&](const char* name) {
        return window->AboutMenu()->findChild<QAction*>(QString::fromUtf8(name));
    };
    menu("verifyEachStep")->trigger();
    menu("replyPacing")->trigger();
    window->close();
    line.reset();
    OpenWindow();
    EXPECT_TRUE(menu("verifyEachStep")->isChecked() && window->Logic().m_verifyEachStep &&
                menu("replyPacing")->isChecked());
    EXPECT_EQ(combo(kComboBaud)->currentText() + combo(kComboParity)->currentText() +
                  combo(kComboStopBits)->currentText() + combo(kComboPort)->currentText(),
              QStringLiteral("19200Even2")); // the port that is gone is not kept
    EXPECT_EQ(std::pair(window->Logic().m_nOneToN, window->Logic().m_nMode),
              std::pair(NetworkSize::OneToThree, ConnectionMode::NodeSwitching));
    EXPECT_TRUE(Main<QRadioButton>(kRadio1To3)->isChecked() &&
                Main<QRadioButton>(kRadioNodeSwitching)->isChecked() &&
                Main<QCheckBox>(kCheckDisableResponse)->isChecked());
    EXPECT_EQ(window->VisiblePicture(), id::page::k1To3Overview);

    OpenPort();
    EXPECT_EQ(window->Logic().m_exchange.Pacing().mode, PacingMode::Reply);
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
    const QTemporaryDir dir;
    const fs::path root = dir.path().toStdString();
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
            return std::vector<PortEvent>(::read(fd, &byte, 1) == 1 ? 1 : 0);
        }
        int Fd() const override { return fd; }
    };
    qt::MainWindowOptions options;
    options.ports = &ports;
    options.portMonitor = [&] { return std::make_unique<Monitor>(pipe[0]); };
    window = std::make_unique<qt::CMainWindow>(options);
    auto* box = Main<QComboBox>(kComboPort);
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
}

// "Keep records": wizard steps recorded, shown in the records window,
// filtered by address and exported as CSV.
TEST_F(GuiMainWindow, KeptWizardStepsShownFilteredAndExported) {
    const QTemporaryDir dir;
    recordsPath = dir.filePath(QStringLiteral("records.sqlite")).toStdString();
    OpenWindow();
    OpenPort();
    window->AboutMenu()->findChild<QAction*>(QStringLiteral("keepRecords"))->trigger();
    EXPECT_TRUE(QSettings().value(QStringLiteral("records/keep")).toBool());
    Press("master"); // detection
    Press("master"); // the master's address read
    window->AboutMenu()->findChild<QAction*>(QStringLiteral("openRecords"))->trigger();
    qt::CRecordsWindow* records = window->RecordsWindow();
    ASSERT_NE(records, nullptr);
    auto* table = records->findChild<QTableWidget*>(QStringLiteral("recordsTable"));
    EXPECT_EQ(table->rowCount(), 2);
    records->findChild<QLineEdit*>(QStringLiteral("addressFilter"))
        ->setText(QStringLiteral("0001950a0b00"));
    ASSERT_EQ(table->rowCount(), 1);
    EXPECT_EQ(table->item(0, 8)->text(), QStringLiteral("wizard-read"));

    const QString csv = dir.filePath(QStringLiteral("out.csv"));
    QString error;
    ASSERT_TRUE(records->ExportCsv(csv, error)) << error.toStdString();
    std::ifstream in(csv.toStdString());
    std::string header, row, more;
    std::getline(in, header);
    std::getline(in, row);
    EXPECT_EQ(header.rfind("id,run_id,time", 0), 0u);
    EXPECT_NE(row.find(",0001950A0B00,OLMA-M,wizard-read,"), std::string::npos) << row;
    EXPECT_FALSE(std::getline(in, more));
}

} // namespace
} // namespace nw::test
