// The Manual Setting window against the simulated bench: Master Set, Slave
// Set, Auto Fill and the Use boxes.
#include "support/BenchFixture.h"
#include "ui/ManualDlg.h"
#include "ui/Messages.h"

namespace nw::test {
namespace {

using namespace id::manual;
using sim::CSimAdapter;

const char kDetect[] = "at\r\nat+btinfo?\r\n";
const char kOpening[] = "at\r\nat+btinfo?\r\n"; // the report the window opens with

class Manual : public BenchTest {
  protected:
    // Opens the window on `who`, runs `body` inside it, and returns what the
    // adapter received after the opening report.
    std::string Run(const std::string& who,
                    const std::function<void(CManualDlg&, RecordingHost&)>& body) {
        if (!who.empty()) {
            EXPECT_TRUE(bench.Attach(who));
        }
        std::string opening;
        host.onManualWindow = [&](CManualDlg& m, RecordingHost& h) {
            opening = Sent();
            h.ClearRecords();
            body(m, h);
        };
        dlg.OnButtonManual();
        openingSent = opening;
        return Sent();
    }
    static void UseSlave(RecordingHost& h, int k, const std::string& text) {
        h.SetCheck(kUseChecks[static_cast<std::size_t>(k)], true);
        h.Type(kSlaveEdits[static_cast<std::size_t>(k)], text);
    }
    std::string openingSent;
};

TEST_F(Manual, MasterSetWritesEveryRegisterAndUpdatesTheMainWindow) {
    std::vector<std::string> boxes;
    std::string info;
    const std::string sent = Run("master", [&](CManualDlg& m, RecordingHost& h) {
        UseSlave(h, 1, "0001950A0B02");
        UseSlave(h, 2, "0001950A0B03");
        UseSlave(h, 3, "0001950A0B04");
        h.Type(kEditSlave1, "not an address"); // beside a clear Use box: ignored
        host.ClearRecords();                   // pauses go through the main window's host
        m.OnButtonMasterSet();
        // Detection, the support query, four registers, the mode, S53.
        EXPECT_EQ(host.Pauses(),
                  (std::vector<std::uint32_t>{400, 1500, 400, 1000, 1000, 1000, 1000, 1000, 4000}));
        boxes = h.Boxes();
        info = h.Text(kStaticInfo);
    });
    EXPECT_EQ(openingSent, kOpening);
    EXPECT_EQ(sent, std::string(kDetect) + "ats53?\r\n" + "ats46=000000000000\r\n" +
                        "ATS54=0001950A0B02\r\nATS55=0001950A0B03\r\nATS56=0001950A0B04\r\n" +
                        "at+btmode,1\r\nats53=1\r\nats10=1\r\n");
    EXPECT_EQ(boxes, std::vector<std::string>{msg::kMasterSuccess});
    EXPECT_NE(info.find("Mode: MODE1"), std::string::npos);
    EXPECT_NE(info.find("Status: PENDING"), std::string::npos);
    EXPECT_NE(info.find("Command Response: ON"), std::string::npos);
    EXPECT_EQ(dlg.m_nOneToN, NetworkSize::OneToThree);
    EXPECT_EQ(host.VisiblePicture(), 139);
    EXPECT_TRUE(host.Checked(id::main::kRadio1To3));
    EXPECT_FALSE(host.Checked(id::main::kRadio1To2));
    EXPECT_TRUE(host.Checked(id::main::kRadioMultiDrop));
    const sim::AdapterState s = State("master");
    EXPECT_EQ(s.s46, "000000000000");
    EXPECT_EQ(s.s54, "0001950A0B02");
    EXPECT_EQ(s.s56, "0001950A0B04");
    EXPECT_EQ(s.mode, 1);
    EXPECT_EQ(s.s53, 1);
}

TEST_F(Manual, MasterSetValidationSendsNothing) {
    struct Case {
        std::vector<std::pair<int, std::string>> used;
        const char* box;
    };
    const std::vector<Case> cases = {
        {{{0, "0001950A0B01"}}, msg::kCheckMoreUse},
        {{}, msg::kCheckMoreUse},
        {{{0, "0001950A0B01F"}, {1, "0001950A0B0"}}, "ERROR: Slave1 BD address"},
        {{{0, "0001950A0B01"}, {2, "short"}}, "ERROR: Slave3 BD address"},
        {{{1, "0001950A0B01"}, {3, "0001950A0B012"}}, "ERROR: Slave4 BD address"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> boxes;
        const std::string sent = Run("master", [&](CManualDlg& m, RecordingHost& h) {
            for (const auto& [k, text] : c.used)
                UseSlave(h, k, text);
            m.OnButtonMasterSet();
            boxes = h.Boxes();
        });
        EXPECT_EQ(sent, "") << c.box;
        EXPECT_EQ(boxes, std::vector<std::string>{c.box});
    }
}

TEST_F(Manual, MasterAlreadyInModeOneIsNotSetAgainAndTwoSlavesGiveOneToTwo) {
    With("master", [](CSimAdapter& a) { a.State().mode = 1; });
    dlg.m_nMode = ConnectionMode::NodeSwitching;
    const std::string sent = Run("master", [&](CManualDlg& m, RecordingHost& h) {
        UseSlave(h, 0, "0001950A0B01");
        UseSlave(h, 2, "0001950A0B03");
        h.SetCheck(kCheckDisableResponse, true);
        m.OnButtonMasterSet();
    });
    EXPECT_EQ(sent, std::string(kDetect) + "ats53?\r\n" + "ATS46=0001950A0B01\r\n" +
                        "ats54=000000000000\r\nATS55=0001950A0B03\r\nats56=000000000000\r\n" +
                        "ats53=2\r\nats10=0\r\n");
    EXPECT_EQ(dlg.m_nOneToN, NetworkSize::OneToTwo);
    EXPECT_EQ(host.VisiblePicture(), 138);
    EXPECT_TRUE(host.Checked(id::main::kRadioNodeSwitching));
    EXPECT_EQ(State("master").s10, 0);
}

TEST_F(Manual, RejectedWriteStopsWithEarlierRegistersWritten) {
    dlg.m_nOneToN = NetworkSize::OneToFour;
    std::vector<std::string> boxes;
    std::string info;
    const std::string sent = Run("master", [&](CManualDlg& m, RecordingHost& h) {
        info = h.Text(kStaticInfo);
        UseSlave(h, 0, "0001950A0B01");
        UseSlave(h, 1, "0001950A0B02");
        UseSlave(h, 2, "ZZZZZZZZZZZZ"); // twelve characters, but the adapter refuses it
        m.OnButtonMasterSet();
        boxes = h.Boxes();
        EXPECT_EQ(h.Text(kStaticInfo), info);
    });
    EXPECT_EQ(sent, std::string(kDetect) + "ats53?\r\n" +
                        "ATS46=0001950A0B01\r\nATS54=0001950A0B02\r\nATS55=ZZZZZZZZZZZZ\r\n");
    EXPECT_EQ(boxes, std::vector<std::string>{msg::kFactoryResetAndCheck});
    EXPECT_EQ(State("master").s46, "0001950A0B01");
    EXPECT_EQ(State("master").s54, "0001950A0B02");
    EXPECT_EQ(dlg.m_nOneToN, NetworkSize::OneToFour); // main window untouched
}

TEST_F(Manual, MasterSetWithNoAdapterStopsAfterDetection) {
    std::vector<std::string> boxes;
    const std::string sent = Run("", [&](CManualDlg& m, RecordingHost& h) {
        UseSlave(h, 0, "0001950A0B01");
        UseSlave(h, 1, "0001950A0B02");
        m.OnButtonMasterSet();
        boxes = h.Boxes();
    });
    EXPECT_EQ(sent, "at\r\nats10?\r\n+++ats10=1\r\n");
    EXPECT_EQ(boxes, std::vector<std::string>{msg::kFactoryResetAndCheck});
}

TEST_F(Manual, NoMultipleConnectionSupportIsReported) {
    With("master", [](CSimAdapter& a) { a.State().multiSupport = false; });
    std::vector<std::string> boxes;
    const std::string sent = Run("master", [&](CManualDlg& m, RecordingHost& h) {
        UseSlave(h, 0, "0001950A0B01");
        UseSlave(h, 1, "0001950A0B02");
        m.OnButtonMasterSet();
        boxes = h.Boxes();
    });
    EXPECT_EQ(sent, std::string(kDetect) + "ats53?\r\n");
    EXPECT_EQ(boxes, std::vector<std::string>{msg::kNoMulti});
}

TEST_F(Manual, SlaveSetClearsAModeAndRestarts) {
    for (const int mode : {1, 2}) { // a former Multi-Drop or Node Switching master
        With("slave1", [&](CSimAdapter& a) {
            a.FactoryReset();
            a.State().s53 = mode;
        });
        std::vector<std::string> boxes;
        std::string info;
        const std::string sent = Run("slave1", [&](CManualDlg& m, RecordingHost& h) {
            h.Type(kEditMaster, "0001950A0B00");
            m.OnButtonSlaveSet();
            boxes = h.Boxes();
            info = h.Text(kStaticInfo);
        });
        EXPECT_EQ(sent, std::string(kDetect) + "ATS46=0001950A0B00\r\nats53?\r\nats53=0\r\n" +
                            "at+btmode,2\r\nats10=1\r\natz\r\n");
        EXPECT_EQ(boxes, std::vector<std::string>{msg::kSlaveSuccess});
        EXPECT_NE(info.find("Mode: MODE2"), std::string::npos);
        EXPECT_NE(info.find("Status: PENDING"), std::string::npos);
        EXPECT_NE(info.find("Command Response: ON"), std::string::npos);
        const sim::AdapterState s = State("slave1");
        EXPECT_EQ(s.s46, "0001950A0B00");
        EXPECT_EQ(s.s53, 0);
        EXPECT_EQ(s.mode, 2);
        EXPECT_EQ(s.restarts, mode);
    }
}

TEST_F(Manual, SlaveSetWithoutAModeSkipsTheClear) {
    const std::string sent = Run("slave2", [&](CManualDlg& m, RecordingHost& h) {
        h.Type(kEditMaster, "0001950A0B00");
        h.SetCheck(kCheckDisableResponse, true);
        m.OnButtonSlaveSet();
        EXPECT_NE(h.Text(kStaticInfo).find("Command Response: OFF"), std::string::npos);
    });
    EXPECT_EQ(sent, std::string(kDetect) + "ATS46=0001950A0B00\r\nats53?\r\n" +
                        "at+btmode,2\r\nats10=0\r\natz\r\n");
}

TEST_F(Manual, SlaveSetRefusesAWrongLengthAndReportsALostAdapter) {
    for (const char* text : {"0001950A0B0", "0001950A0B000"}) {
        std::vector<std::string> boxes;
        const std::string sent = Run("slave1", [&](CManualDlg& m, RecordingHost& h) {
            h.Type(kEditMaster, text);
            m.OnButtonSlaveSet();
            boxes = h.Boxes();
        });
        EXPECT_EQ(sent, "");
        EXPECT_EQ(boxes, std::vector<std::string>{msg::kMasterAddress});
    }
    // The adapter stops answering after "ats53?": "at+btmode,2" gets no OK.
    std::vector<std::string> boxes;
    std::string before;
    const std::string sent = Run("slave1", [&](CManualDlg& m, RecordingHost& h) {
        before = h.Text(kStaticInfo);
        h.Type(kEditMaster, "0001950A0B00");
        int pauses = 0;
        host.onPause = [&](std::uint32_t) {
            if (++pauses == 4)
                With("slave1", [](CSimAdapter& a) { a.Fault().silent = true; });
        };
        m.OnButtonSlaveSet();
        host.onPause = nullptr;
        boxes = h.Boxes();
        EXPECT_EQ(h.Text(kStaticInfo), before);
    });
    EXPECT_EQ(sent, std::string(kDetect) + "ATS46=0001950A0B00\r\nats53?\r\nat+btmode,2\r\n");
    EXPECT_EQ(boxes, std::vector<std::string>{msg::kCheckOlma});
    EXPECT_EQ(State("slave1").s46, "0001950A0B00");
}

TEST_F(Manual, AutoFillReadsAMasterWithTwoSlaves) {
    With("master", [](CSimAdapter& a) {
        a.State().s46 = "0001950A0B01";
        a.State().s54 = "0001950A0B02";
        a.State().s53 = 2;
        a.State().s10 = 1;
    });
    const std::string sent = Run("master", [&](CManualDlg& m, RecordingHost& h) {
        h.SetCheck(kCheckDisableResponse, true);
        host.ClearRecords(); // pauses go through the main window's host
        m.OnButtonAutoFill();
        EXPECT_EQ(host.Pauses(),
                  (std::vector<std::uint32_t>{400, 1000, 1000, 1000, 1000, 500, 500}));
        EXPECT_EQ(h.Text(kEditSlave1), "0001950A0B01");
        EXPECT_EQ(h.Text(kEditSlave2), "0001950A0B02");
        EXPECT_EQ(h.Text(kEditSlave3), "000000000000");
        EXPECT_TRUE(h.Enabled(kEditSlave1));
        EXPECT_TRUE(h.Checked(kCheckUse2));
        EXPECT_FALSE(h.Enabled(kEditSlave3));
        EXPECT_FALSE(h.Checked(kCheckUse4));
        EXPECT_FALSE(h.Checked(kCheckDisableResponse)); // S10 reads 1
        EXPECT_TRUE(h.Checked(kRadioNodeSwitching));
        EXPECT_EQ(m.m_nModeRadio, ConnectionMode::NodeSwitching);
    });
    EXPECT_EQ(sent, "at\r\nats46?\r\nats54?\r\nats55?\r\nats56?\r\nats10?\r\nats53?\r\n");
    EXPECT_EQ(dlg.m_nMode, ConnectionMode::MultiDrop); // the main window's mode is not touched
}

TEST_F(Manual, AutoFillWakesALinkedMasterAndLeavesItInCommandMode) {
    With("master", [](CSimAdapter& a) {
        a.SetLinked();
        a.State().multiSupport = false; // "ats53?" answers ERROR: Multi-Drop shown
    });
    const std::string sent = Run("master", [&](CManualDlg& m, RecordingHost& h) {
        m.OnButtonAutoFill();
        EXPECT_TRUE(h.Checked(kRadioMultiDrop));
        EXPECT_TRUE(h.Boxes().empty());
    });
    // The opening report already escaped and resumed; Auto Fill escapes again.
    EXPECT_EQ(sent,
              "at\r\nats10?\r\n+++ats46?\r\nats54?\r\nats55?\r\nats56?\r\nats10?\r\nats53?\r\n");
    EXPECT_FALSE(State("master").dataMode);
}

TEST_F(Manual, AutoFillWithNoAdapterChangesNothing) {
    const std::string sent = Run("", [&](CManualDlg& m, RecordingHost& h) {
        UseSlave(h, 0, "keep");
        m.OnButtonAutoFill();
        EXPECT_EQ(h.Boxes(), std::vector<std::string>{msg::kFactoryResetAndCheck});
        EXPECT_EQ(h.Text(kEditSlave1), "keep");
        EXPECT_TRUE(h.Checked(kCheckUse1));
    });
    EXPECT_EQ(sent, "at\r\nats10?\r\n+++ats10?\r\n");
}

TEST_F(Manual, UseBoxesEnableTheirEditsAndModeRadiosSetTheMainMode) {
    Run("", [&](CManualDlg& m, RecordingHost& h) {
        EXPECT_FALSE(h.Enabled(kEditSlave2));
        EXPECT_TRUE(h.Enabled(kEditMaster));
        h.SetCheck(kCheckUse2, true);
        m.OnCheckUse2();
        EXPECT_TRUE(h.Enabled(kEditSlave2));
        h.SetCheck(kCheckUse2, false);
        m.OnCheckUse2();
        EXPECT_FALSE(h.Enabled(kEditSlave2));

        m.OnRadioNodeSwitching();
        EXPECT_EQ(dlg.m_nMode, ConnectionMode::NodeSwitching);
        m.OnButtonCheck(); // shows the radio as the readback left it
        EXPECT_TRUE(h.Checked(kRadioMultiDrop));
        EXPECT_EQ(h.Text(kStaticInfo), msg::kCanNotFoundManual);
    });
}

} // namespace
} // namespace nw::test

namespace nw::test {
namespace {

TEST_F(Manual, AutoFillTakesOnlyTwelveHexDigitsForAnAddress) {
    With("master", [](CSimAdapter& a) {
        a.Fault().scripted["ats46?"] = "\r\n0001950A\r\nOK\r\n"; // would split a command
        a.State().s54 = "0001950A0B02";
        a.Fault().scripted["ats55?"] = "ERROR";         // exactly: no slave
        a.Fault().scripted["ats56?"] = "\r\nERROR\r\n"; // no address at all
        a.Fault().scripted["ats10?"] = "\r\n0\r\n";
        a.Fault().scripted["ats53?"] = "\r\n1\r\n";
    });
    Run("master", [&](CManualDlg& m, RecordingHost& h) {
        const Outcome filled = m.OnButtonAutoFill();
        for (int id : {kEditSlave1, kEditSlave3, kEditSlave4})
            EXPECT_EQ(h.Text(id), "000000000000");
        EXPECT_EQ(h.Text(kEditSlave2), "0001950A0B02");
        EXPECT_FALSE(h.Checked(kCheckUse1));
        EXPECT_FALSE(h.Enabled(kEditSlave4));
        EXPECT_TRUE(h.Checked(kCheckUse2));
        EXPECT_TRUE(h.Checked(kCheckDisableResponse));
        EXPECT_TRUE(h.Checked(kRadioMultiDrop));
        EXPECT_EQ(filled.kind, OutcomeKind::Failed);
        EXPECT_EQ(m.m_unreadRegisters, (std::vector<std::string>{"S46", "S56"}));

        // A typed address with a line end is refused before anything is sent.
        h.ClearRecords();
        Sent();
        h.Type(kEditMaster, std::string("0001950A0B\n0", 12));
        m.OnButtonSlaveSet();
        EXPECT_EQ(h.Boxes().back(), msg::kMasterAddress);
        EXPECT_EQ(Sent(), "");
    });
}

} // namespace
} // namespace nw::test
