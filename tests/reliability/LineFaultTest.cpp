// Replies the program does not expect: a flood, NUL bytes, replies longer
// than the ring buffer, replies cut at any byte, replies just too late.
#include "protocol/DeviceInfo.h"
#include "support/BenchFixture.h"
#include "support/ProcessCounts.h"
#include "support/Say.h"

namespace nw::test {
namespace {

using sim::CSimAdapter;
using namespace std::chrono_literals;

TEST_F(BenchTest, AFloodKeepsMemoryBoundedAndTheOperationOnTime) {
    ASSERT_TRUE(bench.Attach("master"));
    With("master", [](CSimAdapter& a) { a.Fault().floodBytes = 1 << 20; });
    host.settle = nullptr; // plain scaled pauses: the flood keeps the line busy
    const std::size_t rssBefore = ResidentKiB();
    const auto t0 = std::chrono::steady_clock::now();
    (void)dlg.DetectDevice(); // the flood may well hide the status reply
    const auto took = std::chrono::steady_clock::now() - t0;
    // At most the status query and the cancel (5.9 s of pauses) at this scale.
    EXPECT_LT(took, std::chrono::milliseconds(Scaled(5900) + 500));
    EXPECT_LE(dlg.m_exchange.m_nRxCount, 4095);
    // The port holds at most its ring; the bench itself keeps a copy of the
    // flood in its queue and transcript.
    if (kResidentMemoryIsMeaningful) {
        EXPECT_LT(ResidentKiB() - std::min(ResidentKiB(), rssBefore), 12u * 1024u);
    }

    ASSERT_TRUE(WaitUntil([&] { return bench.PendingTx() == 0; }, 10s));
    std::this_thread::sleep_for(50ms);
    host.settle = [this] { WaitForQuiet(); };
    EXPECT_EQ(dlg.DetectDevice(), OutcomeKind::Succeeded); // the line is usable again
}

TEST_F(BenchTest, ANulInAReplyEndsItsText) {
    ASSERT_TRUE(bench.Attach("master"));
    With("master", [](CSimAdapter& a) {
        a.Fault().scripted["at"] = std::string("\0\r\nOK\r\n", 7);
        a.Fault().scripted["at+btinfo?"] =
            std::string("\r\n0001950A0B00,OLMA\0,MODE1,STANDBY,NoFC,0,0\r\n", 45);
    });
    // "OK" hides behind the NUL: the adapter looks silent, then answers the
    // escape like an adapter in a link.
    EXPECT_EQ(dlg.ReadDeviceInfo(0), OutcomeKind::Succeeded);
    EXPECT_EQ(Sent(), "at\r\nats10?\r\n+++at+btinfo?\r\nato\r\n");
    EXPECT_EQ(dlg.m_strBdAddr[0], "0001950A0B00");
    EXPECT_EQ(dlg.m_info.m_strInfoName, "Friendly Name: ");
    EXPECT_EQ(dlg.m_info.m_strInfoMode, "Mode: ?");
}

TEST_F(BenchTest, AReplyLongerThanTheRingLosesWholeChunksOnly) {
    ASSERT_TRUE(bench.Attach("master"));
    const std::string longName(6000, 'n');
    With("master", [&](CSimAdapter& a) { a.State().name = longName; });
    EXPECT_EQ(dlg.ReadDeviceInfo(0), OutcomeKind::Succeeded);
    EXPECT_LE(dlg.m_exchange.m_nRxCount, 4095);
    EXPECT_GT(dlg.m_exchange.m_nRxCount, 3000);
    EXPECT_EQ(dlg.m_strBdAddr[0], "0001950A0B00");
    // What was kept are whole chunks in the order sent: the start, and
    // possibly a short tail that fitted again after longer chunks did not.
    const std::string& got = dlg.m_exchange.m_strResponse;
    EXPECT_EQ(got.substr(0, 16), "\r\n0001950A0B00,n");
    const std::string sent =
        "\r\n" + State("master").address + "," + longName + ",MODE0,STANDBY,NoFC,0,0\r\n\r\nOK\r\n";
    bool inOrder = true;
    std::size_t at = 0;
    for (const char c : got) {
        const std::size_t found = sent.find(c, at);
        if (found == std::string::npos) {
            inOrder = false;
            break;
        }
        at = found + 1;
    }
    EXPECT_TRUE(inOrder) << "kept bytes are not in the order sent";
}

TEST_F(BenchTest, AReplyCutAtAnyByteReadsTheSame) {
    ASSERT_TRUE(bench.Attach("slave2"));
    const std::string full = "\r\n0001950A0B02,OLMA-S2,MODE0,STANDBY,NoFC,0,0\r\n\r\nOK\r\n";
    InfoLines whole;
    const std::string wholeAddress = ParseDeviceInfo(full, whole);
    // The second part leaves 1 ms after the first: wait for it too.
    host.settle = [this] {
        WaitUntil([&] { return bench.PendingTx() == 0; }, 2s);
        WaitForQuiet();
    };
    for (std::size_t cut = 1; cut < full.size(); ++cut) {
        With("slave2", [cut](CSimAdapter& a) {
            a.Fault().splitAt = cut;
            a.Fault().splitPauseMs = 1;
        });
        const std::string reply = Say(dlg.m_exchange, cmd::kBtInfoQuery, 100);
        ASSERT_EQ(reply, full) << "cut at " << cut;
    }
    InfoLines lines;
    EXPECT_EQ(ParseDeviceInfo(full, lines), wholeAddress);
}

TEST_F(BenchTest, AReplyJustAfterThePauseBelongsToNoCommand) {
    ASSERT_TRUE(bench.Attach("master"));
    host.settle = nullptr;
    With("master", [](CSimAdapter& a) { a.Fault().latencyMs = Scaled(400) + 10; });
    EXPECT_EQ(Say(dlg.m_exchange, cmd::kAt, 400), "");
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    EXPECT_EQ(dlg.m_port.Waiting(), 6); // arrived, and waits
    With("master", [](CSimAdapter& a) { a.Fault().latencyMs = 0; });
    host.settle = [this] { WaitForQuiet(); };
    EXPECT_EQ(Say(dlg.m_exchange, cmd::kAts53Query, 400), "\r\n0\r\n\r\nOK\r\n");
}

} // namespace
} // namespace nw::test
