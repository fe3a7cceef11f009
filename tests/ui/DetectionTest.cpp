// Detection and the support query against the simulated bench: the exact
// commands for each state an adapter can be found in, and their pauses.
#include "support/BenchFixture.h"
#include "support/Say.h"

#include <thread>

namespace nw::test {
namespace {

using sim::CSimAdapter;
using sim::LinkState;

struct PathCase {
    const char* name;
    std::function<void(CSimAdapter&)> prepare; // null: nothing attached
    const char* commands;
    int result;
    std::uint64_t pausedMs;
};

void PrintTo(const PathCase& c, std::ostream* os) {
    *os << c.name;
}

class DetectionPaths : public BenchTest, public ::testing::WithParamInterface<PathCase> {};

TEST_P(DetectionPaths, SendsExactlyThePathsCommands) {
    const PathCase& c = GetParam();
    if (c.prepare) {
        ASSERT_TRUE(bench.Attach("master"));
        With("master", c.prepare);
    }
    EXPECT_EQ(dlg.DetectDevice() == OutcomeKind::Succeeded, c.result == 1);
    EXPECT_EQ(Sent(), c.commands);
    EXPECT_EQ(host.PausedMs(), c.pausedMs);
    if (c.result == 1) {
        // The known state: command mode, responses on, no link, nothing pending.
        const sim::AdapterState s = State("master");
        EXPECT_EQ(s.s10, 1);
        EXPECT_FALSE(s.dataMode);
        EXPECT_EQ(s.link, LinkState::Standby);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Bench, DetectionPaths,
    ::testing::Values(PathCase{"RespondingIdle", [](CSimAdapter&) {}, "at\r\nat+btinfo?\r\n", 1,
                               1900},
                      PathCase{"RespondingPending", [](CSimAdapter& a) { a.SetPending(); },
                               "at\r\nat+btinfo?\r\nat+btcancel\r\n", 1, 5900},
                      PathCase{"SilentIdle", [](CSimAdapter& a) { a.State().s10 = 0; },
                               "at\r\nats10?\r\nats10=1\r\nat+btinfo?\r\n", 1, 2700},
                      PathCase{"LinkedResponding", [](CSimAdapter& a) { a.SetLinked(); },
                               "at\r\nats10?\r\n+++ath\r\nat+btinfo?\r\n", 1, 3100},
                      PathCase{"LinkedSilent",
                               [](CSimAdapter& a) {
                                   a.SetLinked();
                                   a.State().s10 = 0;
                               },
                               "at\r\nats10?\r\n+++ats10=1\r\nath\r\nat+btinfo?\r\n", 1, 3500},
                      PathCase{"Absent", nullptr, "at\r\nats10?\r\n+++ats10=1\r\n", -1, 1600}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BenchTest, SupportQueryFailsOnlyOnError) {
    ASSERT_TRUE(bench.Attach("master"));
    EXPECT_EQ(dlg.CheckMultiConnection(), OutcomeKind::Succeeded);
    EXPECT_EQ(Sent(), "ats53?\r\n");
    With("master", [](CSimAdapter& a) { a.State().multiSupport = false; });
    EXPECT_EQ(dlg.CheckMultiConnection(), OutcomeKind::Failed);
    bench.Detach();
    EXPECT_EQ(dlg.CheckMultiConnection(),
              OutcomeKind::Succeeded); // silence cannot be told from support
}

TEST_F(BenchTest, ALateAnswerIsDrainedBeforeTheNextCommand) {
    // Replies arriving after the pause belong to nobody: the next
    // transaction drains them before writing.
    ASSERT_TRUE(bench.Attach("master"));
    With("master", [](CSimAdapter& a) { a.Fault().latencyMs = 3 * Scaled(400); });
    EXPECT_EQ(Say(dlg.m_exchange, cmd::kAts10Query, 400), "");
    std::this_thread::sleep_for(std::chrono::milliseconds(3 * Scaled(400)));
    With("master", [](CSimAdapter& a) { a.Fault().latencyMs = 0; });
    const std::string reply = Say(dlg.m_exchange, cmd::kAt, 400);
    EXPECT_EQ(reply, "\r\nOK\r\n");
    EXPECT_EQ(dlg.m_exchange.m_strResponse, reply);
    EXPECT_EQ(dlg.m_exchange.m_nRxCount, 6);
}

} // namespace
} // namespace nw::test

namespace nw::test {
namespace {

TEST_F(BenchTest, ALinkThatSendsEverythingBackIsEscaped) {
    // A link to a device that sends everything back: "at" and "ats10?" come
    // back as themselves, echoes that say nothing, so detection escapes the
    // link and drops it.
    ASSERT_TRUE(bench.Attach("master"));
    With("master", [](sim::CSimAdapter& a) {
        a.SetLinked();
        a.Fault().loopback = true;
    });
    EXPECT_EQ(dlg.DetectDevice(), OutcomeKind::Succeeded);
    EXPECT_EQ(Sent(), "at\r\nats10?\r\n+++ath\r\nat+btinfo?\r\n");
}

TEST_F(BenchTest, OkAnywhereInAReplyCounts) {
    ASSERT_TRUE(bench.Attach("master"));
    With("master", [](sim::CSimAdapter& a) {
        a.Fault().scripted["at"] = "\r\nNOT OK?\r\n";
        a.Fault().scripted["at+btinfo?"] = "\r\nxSTANDBYx\r\n";
    });
    EXPECT_EQ(dlg.DetectDevice(), OutcomeKind::Succeeded);
    EXPECT_EQ(Sent(), "at\r\nat+btinfo?\r\n");
}

} // namespace
} // namespace nw::test
