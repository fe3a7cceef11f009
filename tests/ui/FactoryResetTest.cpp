// Factory reset from both windows: each wake-up path, the reply check of the
// main window and the refreshed information of the manual window.
#include "support/BenchFixture.h"
#include "ui/ManualDlg.h"
#include "ui/Messages.h"

namespace nw::test {
namespace {

using namespace id::main;
using sim::CSimAdapter;

struct WakeCase {
    const char* name;
    std::function<void(CSimAdapter&)> prepare;
    const char* wake;
};

void PrintTo(const WakeCase& c, std::ostream* os) {
    *os << c.name;
}

class ResetPaths : public BenchTest, public ::testing::WithParamInterface<WakeCase> {};

TEST_P(ResetPaths, MainWindowWakesResetsAndRereads) {
    ASSERT_TRUE(bench.Attach("slave4"));
    With("slave4", [](CSimAdapter& a) {
        a.State().s46 = "0001950A0B00";
        a.State().mode = 2;
    });
    With("slave4", GetParam().prepare);
    dlg.OnButtonFactoryReset();
    const std::string sent = Sent();
    const std::string head = std::string(GetParam().wake) + "at&f\r\n";
    ASSERT_EQ(sent.substr(0, head.size()), head) << sent;
    // The report that follows a confirmed reset (responses are on again).
    EXPECT_EQ(sent.substr(head.size()), "at\r\nat+btinfo?\r\nato\r\n");
    EXPECT_EQ(host.Text(kStaticMessage), msg::kResetSuccess);
    EXPECT_EQ(dlg.m_strBdAddr[0], "0001950A0B04");
    const sim::AdapterState s = State("slave4");
    EXPECT_EQ(s.factoryResets, 1);
    EXPECT_EQ(s.s46, "000000000000");
    EXPECT_EQ(s.mode, 0);
    EXPECT_EQ(host.WaitDepth(), 0);
}

TEST_P(ResetPaths, ManualWindowResetsBlindAndRefreshes) {
    ASSERT_TRUE(bench.Attach("slave4"));
    std::string info;
    host.onManualWindow = [&](CManualDlg& m, RecordingHost& h) {
        With("slave4", GetParam().prepare);
        Sent();
        m.OnButtonFactoryReset();
        info = h.Text(id::manual::kStaticInfo);
        EXPECT_TRUE(h.Boxes().empty());
    };
    dlg.OnButtonManual();
    EXPECT_EQ(Sent(), std::string(GetParam().wake) + "at&f\r\nat\r\nat+btinfo?\r\n");
    EXPECT_NE(info.find("Bluetooth Address: 0001950A0B04"), std::string::npos);
    EXPECT_EQ(State("slave4").factoryResets, 1);
}

INSTANTIATE_TEST_SUITE_P(Bench, ResetPaths,
                         ::testing::Values(WakeCase{"Responding", [](CSimAdapter&) {}, "at\r\n"},
                                           WakeCase{"Silent",
                                                    [](CSimAdapter& a) { a.State().s10 = 0; },
                                                    "at\r\nats10?\r\n"},
                                           WakeCase{"Linked", [](CSimAdapter& a) { a.SetLinked(); },
                                                    "at\r\nats10?\r\n+++"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BenchTest, ResetWithNoAdapterShowsTheErrorAndKeepsTheRun) {
    dlg.m_nStep = 3;
    host.SetText(kButtonStart, "Next");
    dlg.OnButtonFactoryReset();
    EXPECT_EQ(Sent(), "at\r\nats10?\r\n+++ats10=1\r\n");
    EXPECT_EQ(host.Boxes(), std::vector<std::string>{msg::kResetError});
    EXPECT_EQ(dlg.m_nStep, 3);
    EXPECT_EQ(host.Text(kButtonStart), "Next");

    std::vector<std::string> boxes;
    host.onManualWindow = [&](CManualDlg& m, RecordingHost& h) {
        m.OnButtonFactoryReset();
        boxes = h.Boxes();
    };
    dlg.OnButtonManual();
    EXPECT_EQ(boxes, std::vector<std::string>{msg::kResetError});
}

TEST_F(BenchTest, UnconfirmedResetSaysSoAndStillStepsTheRunBack) {
    ASSERT_TRUE(bench.Attach("master"));
    dlg.m_nStep = 2;
    // The adapter answers the wake-up, then falls silent before "at&f".
    host.onPause = [&](std::uint32_t ms) {
        if (ms == 400)
            With("master", [](CSimAdapter& a) { a.Fault().silent = true; });
    };
    dlg.OnButtonFactoryReset();
    EXPECT_EQ(Sent(), "at\r\nat&f\r\n"); // no report follows
    EXPECT_EQ(host.Text(kStaticMessage), msg::kResetError);
    EXPECT_EQ(dlg.m_nStep, 1);
    EXPECT_EQ(host.Text(kButtonStart), msg::kTryAgain);
    EXPECT_EQ(host.Pauses(), (std::vector<std::uint32_t>{400, 3000}));
}

TEST_F(BenchTest, ResetAtStepZeroLeavesTheCaption) {
    ASSERT_TRUE(bench.Attach("master"));
    host.SetText(kButtonStart, "Start");
    dlg.OnButtonFactoryReset();
    EXPECT_EQ(dlg.m_nStep, 0);
    EXPECT_EQ(host.Text(kButtonStart), "Start");
}

} // namespace
} // namespace nw::test
