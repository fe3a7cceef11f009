// Replies the program does not expect: a flood, replies cut at any byte.
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

TEST_F(BenchTest, AReplyCutAtAnyByteReadsTheSame) {
    ASSERT_TRUE(bench.Attach("slave2"));
    const std::string full = "\r\n0001950A0B02,OLMA-S2,MODE0,STANDBY,NoFC,0,0\r\n\r\nOK\r\n";
    // The second part leaves 1 ms after the first, once the bench has the
    // command: wait for both.
    host.settle = [this] {
        WaitForQuiet();
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
}

} // namespace
} // namespace nw::test
