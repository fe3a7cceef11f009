// The wizard end to end: a bench of simulated adapters attached in turn, one
// press of Start/Next per attachment, ending with a network the bench agrees
// is formed; and the ways a run is interrupted.
#include "support/BenchFixture.h"
#include "ui/Messages.h"

namespace nw::test {
namespace {

using namespace id::main;
using sim::CSimAdapter;
using Pauses = std::vector<std::uint32_t>;

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
    std::string Message() { return host.Text(kStaticMessage); }
    std::string Caption() { return host.Text(kButtonStart); }
    std::string Address(const std::string& who) { return State(who).address; }
};

struct WizardRun {
    NetworkSize size;
    ConnectionMode mode;
    bool quiet;               // result messages off
    std::array<int, 3> pages; // connect master, connect slave 1, after slave 1
    const char* lastStep;     // the last press's S55 and S56 writes
};

class WizardRuns : public Wizard, public ::testing::WithParamInterface<WizardRun> {};

TEST_P(WizardRuns, FormTheNetworkPressByPress) {
    const WizardRun& r = GetParam();
    const int slaves = SlaveCount(r.size);
    (r.size == NetworkSize::OneToTwo     ? dlg.OnRadio1To2()
     : r.size == NetworkSize::OneToThree ? dlg.OnRadio1To3()
                                         : dlg.OnRadio1To4());
    if (r.mode == ConnectionMode::NodeSwitching)
        dlg.OnRadioNodeSwitching();
    host.SetCheck(kCheckDisableResponse, r.quiet);
    const std::string ats10 = r.quiet ? "ats10=0\r\n" : "ats10=1\r\n";

    Press("master");
    EXPECT_EQ(Sent(), "at\r\nat+btinfo?\r\nats53?\r\n");
    EXPECT_EQ(Message() + "/" + Caption(), std::string(msg::kConnectMasterNext) + "/" + msg::kNext);
    EXPECT_EQ(host.VisiblePicture(), r.pages[0]);
    EXPECT_TRUE(host.Enabled(kButtonRestart) && !host.Enabled(kRadio1To2));
    Press("master");
    EXPECT_EQ(dlg.m_strBdAddr[0], Address("master"));
    EXPECT_EQ(Message(), msg::kConnectSlave1);
    EXPECT_EQ(host.VisiblePicture(), r.pages[1]);
    Sent();
    const char* const next[] = {msg::kConnectSlave2, msg::kConnectSlave3, msg::kConnectSlave4};
    for (int k = 1; k <= slaves; ++k) {
        const std::string who = "slave" + std::to_string(k);
        host.ClearRecords();
        Press(who);
        // Detection, the report into slot k, then the blind writes.
        EXPECT_EQ(Sent(),
                  "at\r\nat+btinfo?\r\nat\r\nat+btinfo?\r\nato\r\nATS46=" + Address("master") +
                      "\r\nat+btcancel\r\nat+btmode,2\r\n" + ats10 + "atz\r\n");
        EXPECT_EQ(host.Pauses(), (Pauses{400, 1500, 400, 2000, 400, 400, 500, 400, 400, 400}));
        EXPECT_EQ(dlg.m_strBdAddr[static_cast<std::size_t>(k)], Address(who));
        EXPECT_EQ(Caption(), msg::kNext);
        if (k == 1) {
            EXPECT_EQ(host.VisiblePicture(), r.pages[2]);
        }
        EXPECT_EQ(Message(), k == slaves ? msg::kConnectMasterLast : next[k - 1]);
    }
    EXPECT_EQ(host.VisiblePicture(), r.pages[0]);
    host.ClearRecords();
    Press("master");
    // Detection; a report into the slot after the last slave's, where there
    // is one; then the blind writes.
    const bool rereads = r.size != NetworkSize::OneToFour;
    EXPECT_EQ(Sent(), std::string("at\r\nat+btinfo?\r\n") +
                          (rereads ? "at\r\nat+btinfo?\r\nato\r\n" : "") +
                          "ATS46=0001950A0B01\r\nATS54=0001950A0B02\r\n" + r.lastStep +
                          "at+btcancel\r\nat+btmode,1\r\n" + ats10 +
                          (r.mode == ConnectionMode::MultiDrop ? "ats53=1\r\n" : "ats53=2\r\n"));
    Pauses pauses = {400, 1500, 400, 400, 400, 400, 500, 400, 400, 400};
    if (rereads)
        pauses.insert(pauses.begin() + 2, {400, 2000, 400});
    EXPECT_EQ(host.Pauses(), pauses);
    const auto shown = host.TextHistory(kStaticMessage);
    ASSERT_GE(shown.size(), 2u);
    EXPECT_EQ(shown[shown.size() - 2] + "/" + shown.back(),
              std::string(msg::kSettingNow) + "/" + msg::kMultiComplete);
    EXPECT_EQ(Caption(), msg::kStart);
    EXPECT_EQ(dlg.m_nStep, 0);
    EXPECT_EQ(bench.NetworkVerdict().rfind("network: OK", 0), 0u) << bench.NetworkVerdict();
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Bench, WizardRuns, ::testing::Values(
    WizardRun{NetworkSize::OneToTwo, ConnectionMode::MultiDrop, false, {142, 150, 156},
              "ats55=000000000000\r\nats56=000000000000\r\n"},
    WizardRun{NetworkSize::OneToThree, ConnectionMode::MultiDrop, false, {145, 151, 157},
              "ATS55=0001950A0B03\r\nats56=000000000000\r\n"},
    WizardRun{NetworkSize::OneToFour, ConnectionMode::NodeSwitching, true, {146, 152, 158},
              "ATS55=0001950A0B03\r\nATS56=0001950A0B04\r\n"}),
    [](const auto& info) { return "OneTo" + std::to_string(SlaveCount(info.param.size)); });
// clang-format on

TEST_F(Wizard, AFailedStepIsKeptAndRetryRepeatsIt) {
    Press("master");
    Press("master");
    const int page = host.VisiblePicture();
    Press(""); // nothing attached
    EXPECT_EQ(Message() + "/" + Caption(), std::string(msg::kCanNotFoundRetry) + "/" + msg::kRetry);
    EXPECT_EQ(dlg.m_nStep, 2);
    EXPECT_EQ(host.VisiblePicture(), page);
    EXPECT_TRUE(host.Boxes().empty());
    Press("slave1");
    EXPECT_EQ(dlg.m_nStep, 3);
    EXPECT_EQ(State("slave1").s46, Address("master"));

    // An adapter without multiple connection mode keeps the run at its start.
    dlg.OnButtonRestart();
    With("master", [](CSimAdapter& a) { a.State().multiSupport = false; });
    Press("master");
    EXPECT_EQ(Message(), msg::kNoMultiRetry);
    EXPECT_EQ(dlg.m_nStep, 0);
    EXPECT_EQ(host.VisiblePicture(), 138);
}

} // namespace
} // namespace nw::test
