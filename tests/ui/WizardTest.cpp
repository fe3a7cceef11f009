// The wizard end to end: a bench of simulated adapters attached in turn, one
// press of Start/Next per attachment, ending with a network the bench agrees
// is formed.
#include "support/BenchFixture.h"
#include "ui/Messages.h"

namespace nw::test {
namespace {

using namespace id::main;
using sim::CSimAdapter;

class Wizard : public BenchTest {
  protected:
    void Press(const std::string& who) {
        if (who.empty())
            bench.Detach();
        else
            ASSERT_TRUE(bench.Attach(who));
        dlg.OnButtonStart();
        EXPECT_EQ(host.WaitDepth(), 0);
    }
    void ChooseOneToN(int n) {
        if (n == 0)
            dlg.OnRadio1To2();
        else if (n == 1)
            dlg.OnRadio1To3();
        else
            dlg.OnRadio1To4();
    }
    std::string Message() { return host.Text(kStaticMessage); }
    std::string Caption() { return host.Text(kButtonStart); }
    std::string Address(const std::string& who) { return State(who).address; }

    // Runs a whole wizard for 1:(n+2), checking the display after each press.
    void RunAll(int oneToN) {
        ChooseOneToN(oneToN);
        const int slaves = oneToN + 2;
        Press("master");
        EXPECT_EQ(Caption(), msg::kNext);
        EXPECT_EQ(Message(), msg::kConnectMasterNext);
        EXPECT_EQ(host.VisiblePicture(), (std::array{142, 145, 146})[oneToN]);
        EXPECT_TRUE(host.Enabled(kButtonRestart));
        EXPECT_FALSE(host.Enabled(kRadio1To2));
        Press("master");
        EXPECT_EQ(dlg.m_strBdAddr[0], Address("master"));
        EXPECT_EQ(Message(), msg::kConnectSlave1);
        EXPECT_EQ(host.VisiblePicture(), (std::array{150, 151, 152})[oneToN]);
        for (int k = 1; k <= slaves; ++k) {
            const std::string who = "slave" + std::to_string(k);
            Press(who);
            EXPECT_EQ(dlg.m_strBdAddr[static_cast<std::size_t>(k)], Address(who));
            EXPECT_EQ(State(who).s46, Address("master"));
            EXPECT_EQ(State(who).mode, 2);
            EXPECT_EQ(State(who).restarts, 1);
            EXPECT_EQ(Caption(), msg::kNext);
            EXPECT_TRUE(host.Enabled(kButtonStart));
        }
        EXPECT_EQ(Message(), msg::kConnectMasterLast);
        EXPECT_EQ(host.VisiblePicture(), (std::array{142, 145, 146})[oneToN]);
        Press("master");
        EXPECT_EQ(Message(), msg::kMultiComplete);
        EXPECT_EQ(Caption(), msg::kStart);
        EXPECT_EQ(dlg.m_nStep, 0);
        EXPECT_EQ(host.VisiblePicture(), (std::array{142, 145, 146})[oneToN]);
    }
};

TEST_F(Wizard, OneToTwoFormsTheNetworkInFivePresses) {
    RunAll(0);
    const sim::AdapterState m = State("master");
    EXPECT_EQ(m.s46, Address("slave1"));
    EXPECT_EQ(m.s54, Address("slave2"));
    EXPECT_EQ(m.s55, "000000000000");
    EXPECT_EQ(m.s56, "000000000000");
    EXPECT_EQ(m.mode, 1);
    EXPECT_EQ(m.s53, 1);
    EXPECT_EQ(m.s10, 1);
    // The last report read the master itself into slot 3, which 1:2 never sends.
    EXPECT_EQ(dlg.m_strBdAddr[3], Address("master"));
    EXPECT_EQ(bench.NetworkVerdict().rfind("network: OK", 0), 0u) << bench.NetworkVerdict();
}

TEST_F(Wizard, LastPressWritesTheMasterBlindInOrder) {
    ChooseOneToN(0);
    for (const char* who : {"master", "master", "slave1", "slave2"})
        Press(who);
    Sent();
    host.ClearRecords();
    Press("master");
    EXPECT_EQ(Sent(), "at\r\nat+btinfo?\r\n"        // detection
                      "at\r\nat+btinfo?\r\nato\r\n" // report into slot 3
                      "ATS46=0001950A0B01\r\nATS54=0001950A0B02\r\n"
                      "ats55=000000000000\r\nats56=000000000000\r\n"
                      "at+btcancel\r\nat+btmode,1\r\nats10=1\r\nats53=1\r\n");
    EXPECT_EQ(host.Pauses(), (std::vector<std::uint32_t>{400, 1500, 400, 2000, 400, 400, 400, 400,
                                                         400, 500, 400, 400, 400}));
    const auto shown = host.TextHistory(kStaticMessage);
    ASSERT_GE(shown.size(), 2u);
    EXPECT_EQ(shown[shown.size() - 2], msg::kSettingNow);
}

TEST_F(Wizard, OneToThreeClearsOnlyS56) {
    RunAll(1);
    const sim::AdapterState m = State("master");
    EXPECT_EQ(m.s55, Address("slave3"));
    EXPECT_EQ(m.s56, "000000000000");
    EXPECT_EQ(dlg.m_strBdAddr[4], Address("master"));
    EXPECT_EQ(bench.NetworkVerdict().rfind("network: OK", 0), 0u) << bench.NetworkVerdict();
}

TEST_F(Wizard, OneToFourNodeSwitchingWithResponsesOff) {
    dlg.OnRadioNodeSwitching();
    host.SetCheck(kCheckDisableResponse, true);
    RunAll(2);
    const sim::AdapterState m = State("master");
    EXPECT_EQ(m.s46, Address("slave1"));
    EXPECT_EQ(m.s54, Address("slave2"));
    EXPECT_EQ(m.s55, Address("slave3"));
    EXPECT_EQ(m.s56, Address("slave4"));
    EXPECT_EQ(m.s53, 2);
    EXPECT_EQ(m.s10, 0);
    for (const char* s : {"slave1", "slave2", "slave3", "slave4"})
        EXPECT_EQ(State(s).s10, 0) << s;
    EXPECT_EQ(bench.NetworkVerdict().rfind("network: OK", 0), 0u) << bench.NetworkVerdict();
}

TEST_F(Wizard, SlaveStepWritesBlindInOrder) {
    host.SetCheck(kCheckDisableResponse, true);
    Press("master");
    Press("master");
    Sent();
    Press("slave1");
    EXPECT_EQ(Sent(), "at\r\nat+btinfo?\r\n"
                      "at\r\nat+btinfo?\r\nato\r\n"
                      "ATS46=0001950A0B00\r\nat+btcancel\r\nat+btmode,2\r\nats10=0\r\natz\r\n");
    EXPECT_EQ(host.VisiblePicture(), 156);
    EXPECT_EQ(Message(), msg::kConnectSlave2);
}

TEST_F(Wizard, FailureKeepsTheStepAndRetryRepeatsIt) {
    Press("master");
    Press("master");
    const int page = host.VisiblePicture();
    Press(""); // nothing attached
    EXPECT_EQ(Message(), msg::kCanNotFoundRetry);
    EXPECT_EQ(Caption(), msg::kRetry);
    EXPECT_EQ(dlg.m_nStep, 2);
    EXPECT_EQ(host.VisiblePicture(), page);
    EXPECT_TRUE(host.Boxes().empty());
    Press("slave1");
    EXPECT_EQ(dlg.m_nStep, 3);
    EXPECT_EQ(State("slave1").s46, Address("master"));
    EXPECT_EQ(host.VisiblePicture(), 156);
}

TEST_F(Wizard, AdapterWithoutMultipleConnectionStaysAtTheStart) {
    ASSERT_TRUE(bench.Attach("master"));
    With("master", [](CSimAdapter& a) { a.State().multiSupport = false; });
    Press("master");
    EXPECT_EQ(Message(), msg::kNoMultiRetry);
    EXPECT_EQ(dlg.m_nStep, 0);
    EXPECT_EQ(Caption(), msg::kRetry);
    EXPECT_EQ(host.VisiblePicture(), 138);
}

TEST_F(Wizard, RestartGoesBackAndRereadsSlotZero) {
    Press("master");
    Press("master");
    Press("slave1");
    ASSERT_TRUE(bench.Attach("slave2"));
    dlg.OnButtonRestart();
    EXPECT_EQ(dlg.m_nStep, 0);
    EXPECT_EQ(host.VisiblePicture(), 138);
    EXPECT_TRUE(host.Enabled(kRadio1To4));
    EXPECT_FALSE(host.Enabled(kButtonRestart));
    EXPECT_EQ(Message(), msg::kConnectMasterStart);
    EXPECT_EQ(Caption(), msg::kStart);
    EXPECT_EQ(dlg.m_strBdAddr[0], Address("slave2")); // whatever is attached

    bench.Detach();
    dlg.OnButtonRestart(); // nobody answers: the reset of the run still happens
    EXPECT_EQ(Message(), msg::kConnectMasterStart);
    EXPECT_EQ(dlg.m_strBdAddr[0], Address("slave2"));
}

TEST_F(Wizard, PortCloseAndOpenMidRunKeepTheStepAndTakeANewOneToN) {
    Press("master");
    Press("master");
    dlg.OnButtonPortClose();
    EXPECT_EQ(dlg.m_nStep, 2);
    EXPECT_FALSE(host.Enabled(kButtonStart));
    EXPECT_TRUE(host.Enabled(kButtonRestart));
    dlg.OnButtonPortOpen();
    EXPECT_TRUE(host.Enabled(kRadio1To3));
    dlg.OnRadio1To3();
    EXPECT_EQ(host.VisiblePicture(), 139);
    Press("slave1");
    EXPECT_EQ(dlg.m_nStep, 3);
    EXPECT_EQ(host.VisiblePicture(), 157);
}

TEST_F(Wizard, FactoryResetMidRunStepsBackAndTheStepRepeats) {
    Press("master");
    Press("master");
    Press("slave1");
    ASSERT_EQ(dlg.m_nStep, 3);
    ASSERT_TRUE(bench.Attach("slave1"));
    dlg.OnButtonFactoryReset();
    EXPECT_EQ(dlg.m_nStep, 2);
    EXPECT_EQ(Caption(), msg::kTryAgain);
    EXPECT_EQ(State("slave1").factoryResets, 1);
    EXPECT_EQ(State("slave1").s46, "000000000000");
    // The reset's report took the attached slave into slot 0 ...
    EXPECT_EQ(dlg.m_strBdAddr[0], Address("slave1"));
    Press("slave1");
    EXPECT_EQ(dlg.m_nStep, 3);
    // ... so the repeated step points the slave at itself.
    EXPECT_EQ(State("slave1").s46, Address("slave1"));
}

TEST_F(Wizard, ModeAndOneToNRadiosChangeOnlyTheirValueAndOverview) {
    dlg.OnRadio1To4();
    EXPECT_EQ(host.VisiblePicture(), 129);
    dlg.OnRadioNodeSwitching();
    EXPECT_EQ(dlg.m_nMode, ConnectionMode::NodeSwitching);
    EXPECT_EQ(host.VisiblePicture(), 129);
    EXPECT_EQ(dlg.m_nStep, 0);
    EXPECT_EQ(Sent(), "");
}

} // namespace
} // namespace nw::test

namespace nw::test {
namespace {

TEST_F(Wizard, AMasterAddressWithALineEndIsNotPassedToTheSlaves) {
    Press("master");
    ASSERT_TRUE(bench.Attach("master"));
    With("master", [](CSimAdapter& a) {
        a.Fault().scripted["at+btinfo?"] =
            "\r\nOK\r\n\r\nat&f\r\n0001,OLMA-M,MODE0,STANDBY,NoFC,0,0\r\n";
    });
    Press("master");
    EXPECT_EQ(dlg.m_strBdAddr[0], "");
    Sent();
    Press("slave1");
    const std::string sent = Sent();
    EXPECT_NE(sent.find("ATS46=\r\nat+btcancel\r\n"), std::string::npos) << sent;
    EXPECT_EQ(sent.find("at&f"), std::string::npos) << sent;
}

} // namespace
} // namespace nw::test
