// The Manual Setting window through its widgets: the report it opens with,
// the Use boxes, Master Set, Slave Set, Auto Fill and Factory Reset with
// their message boxes answered, and the wait cursor while it is open.
#include "GuiFixture.h"

#include "res/ControlIds.h"
#include "ui/Messages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

namespace nw::test {
namespace {

using namespace id::manual;

class GuiManualWindow : public GuiBench {
  protected:
    void SetUp() override {
        GuiBench::SetUp();
        OpenWindow();
        OpenPort();
    }
    static QWidget* In(qt::CManualWindow& m, int id) { return m.Control(id); }
    static std::string Info(qt::CManualWindow& m) {
        auto* info = m.ControlAs<QLabel>(kStaticInfo);
        const std::string text = info->text().toStdString();
        EXPECT_EQ(AccessibleName(info).toStdString(), text) << "what assistive technology hears";
        return text;
    }
    static void Type(qt::CManualWindow& m, int id, const QString& text) {
        auto* edit = m.ControlAs<QLineEdit>(id);
        edit->clear();
        QTest::keyClicks(edit, text);
    }
    static void UseSlave(qt::CManualWindow& m, int k, const QString& address) {
        const auto i = static_cast<std::size_t>(k);
        Click(In(m, kUseChecks[i]));
        Type(m, kSlaveEdits[i], address);
    }
};

TEST_F(GuiManualWindow, OpensShowingNotFoundAndKeepsTheCountWithoutABusyCursor) {
    bench.Detach();
    InManualWindow([&](qt::CManualWindow& m) {
        EXPECT_EQ(Info(m), msg::kCanNotFoundManual);
        EXPECT_EQ(m.windowTitle(), "Manual Setting");
        EXPECT_EQ(window->Host().WaitDepth(), 1); // held by the Manual Setting button
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    });
    EXPECT_EQ(window->Host().WaitDepth(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(GuiManualWindow, OpensWithTheReportAndUseBoxesEnableTheirEdits) {
    ASSERT_TRUE(bench.Attach("master"));
    InManualWindow([&](qt::CManualWindow& m) {
        EXPECT_NE(Info(m).find(State("master").address), std::string::npos) << Info(m);
        for (std::size_t k = 0; k < 4; ++k) {
            QWidget* edit = In(m, kSlaveEdits[k]);
            EXPECT_FALSE(edit->isEnabled());
            Click(In(m, kUseChecks[k]));
            EXPECT_TRUE(edit->isEnabled()) << k;
            DoAction(In(m, kUseChecks[k]), QAccessibleActionInterface::toggleAction());
            EXPECT_FALSE(edit->isEnabled()) << k; // the logic follows every change
        }
        EXPECT_TRUE(In(m, kEditMaster)->isEnabled());
    });
}

TEST_F(GuiManualWindow, MasterSetWritesTheTypedSlavesAndUpdatesTheMainWindow) {
    ASSERT_TRUE(bench.Attach("master"));
    InManualWindow([&](qt::CManualWindow& m) {
        UseSlave(m, 0, "0001950A0B01");
        EXPECT_EQ(AnswerOneBox([&] { Click(In(m, kButtonMasterSet)); }), msg::kCheckMoreUse);
        UseSlave(m, 2, "0001950A0B0");
        EXPECT_EQ(AnswerOneBox([&] { Click(In(m, kButtonMasterSet)); }), msg::kSlaveAddress[2]);
        Type(m, kEditSlave3, "0001950A0B03");
        Click(In(m, kRadioNodeSwitching));
        EXPECT_EQ(AnswerOneBox([&] { Click(In(m, kButtonMasterSet)); }), msg::kMasterSuccess);
        EXPECT_NE(Info(m).find(msg::kStatusPending), std::string::npos) << Info(m);
    });
    const sim::AdapterState s = State("master");
    EXPECT_EQ(s.s46, "0001950A0B01");
    EXPECT_EQ(s.s54, "000000000000");
    EXPECT_EQ(s.s55, "0001950A0B03");
    EXPECT_EQ(s.s53, 2);
    EXPECT_EQ(window->VisiblePicture(), 138); // two slaves used: the 1:2 overview
    EXPECT_TRUE(Main<QAbstractButton>(id::main::kRadio1To2)->isChecked());
    EXPECT_TRUE(Main<QAbstractButton>(id::main::kRadioNodeSwitching)->isChecked());
}

TEST_F(GuiManualWindow, SlaveSetChecksTheAddressThenConfiguresTheSlave) {
    ASSERT_TRUE(bench.Attach("slave2"));
    InManualWindow([&](qt::CManualWindow& m) {
        Type(m, kEditMaster, "0001950A0B0");
        EXPECT_EQ(AnswerOneBox([&] { Click(In(m, kButtonSlaveSet)); }), msg::kMasterAddress);
        Type(m, kEditMaster, "0001950A0B00");
        EXPECT_EQ(AnswerOneBox([&] { Click(In(m, kButtonSlaveSet)); }), msg::kSlaveSuccess);
        EXPECT_NE(Info(m).find(msg::kModeSlave), std::string::npos) << Info(m);
        bench.Detach();
        EXPECT_EQ(AnswerOneBox([&] { Click(In(m, kButtonSlaveSet)); }), msg::kCheckOlma);
    });
    EXPECT_EQ(State("slave2").s46, "0001950A0B00");
    EXPECT_EQ(State("slave2").mode, 2);
}

TEST_F(GuiManualWindow, AutoFillReadsTheMastersRegistersIntoTheEdits) {
    ASSERT_TRUE(bench.With("master", [](sim::CSimAdapter& a) {
        a.State().s46 = "0001950A0B01";
        a.State().s55 = "0001950A0B03";
        a.State().s53 = 2;
        a.State().s10 = 0;
    }));
    ASSERT_TRUE(bench.Attach("master"));
    InManualWindow([&](qt::CManualWindow& m) {
        EXPECT_TRUE(AnswerBoxes([&] { Click(In(m, kButtonAutoFill)); }).empty());
        EXPECT_EQ(m.ControlAs<QLineEdit>(kEditSlave1)->text(), "0001950A0B01");
        EXPECT_EQ(m.ControlAs<QLineEdit>(kEditSlave3)->text(), "0001950A0B03");
        const bool used[] = {true, false, true, false};
        for (std::size_t k = 0; k < 4; ++k) {
            EXPECT_EQ(m.ControlAs<QAbstractButton>(kUseChecks[k])->isChecked(), used[k]) << k;
            EXPECT_EQ(In(m, kSlaveEdits[k])->isEnabled(), used[k]) << k;
        }
        EXPECT_TRUE(m.ControlAs<QAbstractButton>(kRadioNodeSwitching)->isChecked());
        EXPECT_TRUE(m.ControlAs<QAbstractButton>(kCheckDisableResponse)->isChecked());
        bench.Detach();
        EXPECT_EQ(AnswerOneBox([&] { Click(In(m, kButtonAutoFill)); }), msg::kFactoryResetAndCheck);
    });
}

TEST_F(GuiManualWindow, FactoryResetRefreshesTheReportOrSaysItFailed) {
    ASSERT_TRUE(bench.With("slave4", [](sim::CSimAdapter& a) { a.State().mode = 2; }));
    ASSERT_TRUE(bench.Attach("slave4"));
    InManualWindow([&](qt::CManualWindow& m) {
        bool busySeen = false;
        QTimer sample;
        QObject::connect(&sample, &QTimer::timeout, [&] {
            const QCursor* c = QApplication::overrideCursor();
            busySeen = busySeen || (c != nullptr && c->shape() == Qt::WaitCursor);
            if (busySeen) // ticked by code while the reset runs
                m.ControlAs<QAbstractButton>(kCheckUse1)->setChecked(true);
        });
        sample.start(1);
        EXPECT_TRUE(AnswerBoxes([&] { Click(In(m, kButtonFactoryReset)); }).empty());
        sample.stop();
        EXPECT_TRUE(busySeen);                              // the operation shows the busy cursor
        EXPECT_EQ(QApplication::overrideCursor(), nullptr); // idle again
        EXPECT_TRUE(In(m, kEditSlave1)->isEnabled());       // its handler ran afterwards
        EXPECT_NE(Info(m).find(State("slave4").address), std::string::npos);
        bench.Detach();
        EXPECT_EQ(AnswerOneBox([&] { Click(In(m, kButtonFactoryReset)); }), msg::kResetError);
    });
    EXPECT_EQ(State("slave4").factoryResets, 1);
    EXPECT_EQ(State("slave4").mode, 0);
}

// Its modality holds back the mouse from the main window; the accessibility
// bus and code must find that window's controls unavailable too.
TEST_F(GuiManualWindow, MainWindowTakesNothingWhileItIsOpen) {
    InManualWindow([&](qt::CManualWindow&) {
        for (int id : {id::main::kButtonCheck, id::main::kButtonStart, id::main::kRadio1To3})
            EXPECT_TRUE(Accessible(Main(id))->state().disabled) << id;
        EXPECT_TRUE(AnswerBoxes([&] {
                        DoAction(Main(id::main::kButtonCheck),
                                 QAccessibleActionInterface::pressAction());
                        Main<QAbstractButton>(id::main::kButtonCheck)->click();
                        QTest::qWait(300);
                    }).empty());
    });
    EXPECT_FALSE(Accessible(Main(id::main::kButtonCheck))->state().disabled);
}

// The port reports a failed write through the main window's host; while the
// Manual Setting window is open the box must block that window too.
TEST_F(GuiManualWindow, MainWindowBoxesOpenOverTheManualWindow) {
    InManualWindow([&](qt::CManualWindow& m) {
        QWidget* parent = nullptr;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                parent = box->parentWidget();
                box->button(QMessageBox::Ok)->click();
            }
        });
        poll.start(5);
        window->Host().MessageBox("reterror", "");
        poll.stop();
        EXPECT_EQ(parent, &m);
    });
}

} // namespace
} // namespace nw::test
