// The information report from both windows against the simulated bench: the
// wake-up, the "ato"/"ats10=0" rules, the address slots and what is shown.
#include "support/BenchFixture.h"
#include "support/Say.h"
#include "ui/ManualDlg.h"
#include "ui/Messages.h"

#include <thread>

namespace nw::test {
namespace {

using namespace id::main;
using sim::CSimAdapter;

const char kMasterReport[] = "Friendly Name: OLMA-M\nBluetooth Address: 0001950A0B00\n"
                             "Mode: MODE0\nFlowControl: OFF\nStatus: STANDBY\n"
                             "Authentication: OFF\nEncryption: OFF\nCommand Response: ON";

TEST_F(BenchTest, CheckShowsTheReportAndTakesTheAddressIntoSlotZero) {
    ASSERT_TRUE(bench.Attach("master"));
    dlg.OnButtonCheck();
    EXPECT_EQ(Sent(), "at\r\nat+btinfo?\r\nato\r\n"); // main window resumes after any OK
    ASSERT_EQ(host.Boxes().size(), 1u);
    EXPECT_EQ(host.Boxes()[0], kMasterReport);
    EXPECT_EQ(dlg.m_strBdAddr[0], "0001950A0B00");
    EXPECT_EQ(host.Pauses(), (std::vector<std::uint32_t>{400, 2000, 400}));
    EXPECT_TRUE(host.Enabled(kButtonStart));
    EXPECT_TRUE(host.Enabled(kButtonFactoryReset));
    EXPECT_EQ(host.WaitDepth(), 0);
}

TEST_F(BenchTest, SilentAdapterIsReadAndLeftSilent) {
    ASSERT_TRUE(bench.Attach("slave2"));
    With("slave2", [](CSimAdapter& a) { a.State().s10 = 0; });
    EXPECT_EQ(dlg.ReadDeviceInfo(2), OutcomeKind::Succeeded);
    EXPECT_EQ(Sent(), "at\r\nats10?\r\nat+btinfo?\r\nats10=0\r\n");
    EXPECT_EQ(dlg.m_info.m_strInfoResponse, "Command Response: OFF");
    EXPECT_EQ(dlg.m_strBdAddr[2], "0001950A0B02");
    EXPECT_EQ(State("slave2").s10, 0);
}

TEST_F(BenchTest, LinkedAdapterWarnsAndIsSentBackToItsLink) {
    ASSERT_TRUE(bench.Attach("master"));
    With("master", [](CSimAdapter& a) { a.SetLinked(); });
    EXPECT_EQ(dlg.ReadDeviceInfo(0), OutcomeKind::Succeeded);
    EXPECT_EQ(Sent(), "at\r\nats10?\r\n+++at+btinfo?\r\nato\r\n");
    const auto shown = host.TextHistory(kStaticMessage);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), msg::kConnectedOther);
    EXPECT_EQ(dlg.m_info.m_strInfoStatus, "Status: CONNECT");
    EXPECT_EQ(dlg.m_info.m_strInfoResponse, "Command Response: ON");
    EXPECT_TRUE(State("master").dataMode); // resumed
}

TEST_F(BenchTest, NoAdapterLeavesSlotsAndLinesAlone) {
    dlg.m_strBdAddr[0] = "0001950A0B09";
    dlg.OnButtonCheck();
    EXPECT_EQ(Sent(), "at\r\nats10?\r\n+++ats10?\r\n");
    EXPECT_EQ(host.Boxes(), std::vector<std::string>{msg::kNotDetected});
    EXPECT_EQ(dlg.m_strBdAddr[0], "0001950A0B09");
    EXPECT_EQ(dlg.m_info.m_strInfoResponse, "");
    EXPECT_EQ(host.PausedMs(), 1600u);
}

TEST_F(BenchTest, SlotsOutsideTheRangeStoreNothing) {
    ASSERT_TRUE(bench.Attach("slave1"));
    for (int slot : {5, -1}) {
        EXPECT_EQ(dlg.ReadDeviceInfo(slot), OutcomeKind::Succeeded);
        EXPECT_NE(dlg.m_strReport.find("0001950A0B01"), std::string::npos);
        for (const auto& a : dlg.m_strBdAddr)
            EXPECT_EQ(a, "000000000000");
    }
}

TEST_F(BenchTest, NameTokensAndStateReachTheReport) {
    ASSERT_TRUE(bench.Attach("slave3"));
    With("slave3", [](CSimAdapter& a) {
        a.State().name = "xMODE2NoFC";
        a.State().mode = 3;
        a.State().hwFlow = true;
        a.State().auth = true;
        a.State().encrypt = true;
    });
    EXPECT_EQ(dlg.ReadDeviceInfo(3), OutcomeKind::Succeeded);
    EXPECT_EQ(dlg.m_info.m_strInfoMode, "Mode: MODE2");
    EXPECT_EQ(dlg.m_info.m_strInfoFlow, "FlowControl: OFF");
    EXPECT_EQ(dlg.m_info.m_strInfoSecurity, "Authentication: ON\nEncryption: ON");
    EXPECT_EQ(dlg.m_info.m_strInfoName, "Friendly Name: xMODE2NoFC");
}

TEST_F(BenchTest, ReplyTailAfterTheCollectIsLostToTheNextDrain) {
    ASSERT_TRUE(bench.Attach("master"));
    With("master", [](CSimAdapter& a) {
        a.Fault().splitAt = 10;
        a.Fault().splitPauseMs = 3 * Scaled(2000); // well after the collect
    });
    EXPECT_EQ(dlg.ReadDeviceInfo(0), OutcomeKind::Succeeded);
    EXPECT_EQ(dlg.m_strBdAddr[0], ""); // "\r\n0001950A" has no comma
    EXPECT_EQ(dlg.m_info.m_strInfoStatus, "Status: ?");
    std::this_thread::sleep_for(std::chrono::milliseconds(3 * Scaled(2000)));
    With("master", [](CSimAdapter& a) { a.Fault().splitAt = 0; });
    EXPECT_EQ(Say(dlg.m_exchange, cmd::kAt, 400), "\r\nOK\r\n");
}

TEST_F(BenchTest, ManualWindowOpensWithTheReportAndResumesOnlyAfterAnEscape) {
    ASSERT_TRUE(bench.Attach("master"));
    dlg.OnButtonManual();
    EXPECT_EQ(Sent(), "at\r\nat+btinfo?\r\n"); // no "ato" after a plain OK
    EXPECT_EQ(host.ManualHost().Text(id::manual::kStaticInfo), kMasterReport);
    EXPECT_EQ(dlg.m_strBdAddr[0], "000000000000"); // the manual report stores no address

    With("master", [](CSimAdapter& a) { a.SetLinked(); });
    host.onManualWindow = [](CManualDlg& m, RecordingHost&) { m.OnButtonCheck(); };
    dlg.OnButtonManual();
    const std::string sent = Sent();
    // Opening: data mode swallows the first probes, "+++" escapes, "ato" resumes;
    // Check repeats the same.
    const std::string once = "at\r\nats10?\r\n+++at+btinfo?\r\nato\r\n";
    EXPECT_EQ(sent, once + once);
    EXPECT_TRUE(State("master").dataMode);
    EXPECT_TRUE(host.TextHistory(kStaticMessage).empty()); // no warning in the main window

    bench.Detach();
    host.onManualWindow = nullptr;
    dlg.OnButtonManual();
    EXPECT_EQ(host.ManualHost().Text(id::manual::kStaticInfo), msg::kCanNotFoundManual);
    EXPECT_EQ(host.WaitDepth(), 0);
}

} // namespace
} // namespace nw::test
