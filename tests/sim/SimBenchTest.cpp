#include "sim/SimBench.h"

#include "sim/SimPortEnd.h"
#include "support/PtyPair.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include <sys/resource.h>

namespace nw::sim {
namespace {

using test::CSimPortEnd;
using Clock = std::chrono::steady_clock;
using Ms = std::chrono::milliseconds;

const std::string kOk = "\r\nOK\r\n";

double Since(Clock::time_point t) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

std::string Joined(const std::vector<TranscriptEntry>& entries, Direction dir,
                   const std::string& who) {
    std::string bytes;
    for (const TranscriptEntry& e : entries)
        if (e.dir == dir && e.adapter == who)
            bytes += e.bytes;
    return bytes;
}

class SimBench : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(bench.Start(&error)) << error;
        ASSERT_TRUE(bench.Attach("master"));
        port = std::make_unique<CSimPortEnd>(bench.Path());
        ASSERT_GE(port->Fd(), 0) << bench.Path();
    }

    std::string Ask(const std::string& command, std::size_t replyBytes) {
        EXPECT_TRUE(port->Write(command));
        return port->Read(replyBytes, Ms(2000));
    }

    CSimBench bench;
    std::unique_ptr<CSimPortEnd> port;
};

TEST_F(SimBench, AnswersOverThePseudoTerminalAndRecordsBothDirections) {
    EXPECT_EQ(bench.LastTxMs(), -1);
    EXPECT_EQ(Ask("at\r\n", kOk.size()), kOk);
    EXPECT_EQ(bench.Received(), "at\r\n");
    const auto entries = bench.Transcript();
    EXPECT_EQ(Joined(entries, Direction::Rx, "master"), "at\r\n");
    EXPECT_EQ(Joined(entries, Direction::Tx, "master"), kOk);
    ASSERT_FALSE(entries.empty());
    EXPECT_TRUE(std::is_sorted(entries.begin(), entries.end(),
                               [](const auto& x, const auto& y) { return x.ms < y.ms; }));
    EXPECT_GE(bench.LastTxMs(), entries.front().ms);

    bench.Inject("RING\r\n");
    EXPECT_EQ(port->Read(6, Ms(2000)), "RING\r\n");
    EXPECT_EQ(Joined(bench.Transcript(), Direction::Tx, "master"), kOk + "RING\r\n");

    bench.ClearTranscript();
    EXPECT_TRUE(bench.Transcript().empty());
    EXPECT_EQ(bench.Received(), "");
    EXPECT_FALSE(bench.WaitForReceived(1, Ms(30)));
}

TEST_F(SimBench, TheAttachedAdapterAnswersAndSwitchingDropsItsHalfLine) {
    ASSERT_TRUE(bench.Attach("slave3"));
    EXPECT_EQ(bench.Attached(), "slave3");
    const std::string info = "\r\n0001950A0B03,OLMA-S3,MODE0,STANDBY,NoFC,0,0\r\n" + kOk;
    EXPECT_EQ(Ask("at+btinfo?\r", info.size()), info);
    EXPECT_FALSE(bench.Attach("slave9"));
    EXPECT_EQ(bench.Attached(), "slave3");

    ASSERT_TRUE(bench.Attach("master"));
    bench.ClearTranscript();
    ASSERT_TRUE(port->Write("at+bt"));
    ASSERT_TRUE(bench.WaitForReceived(5, Ms(2000)));
    ASSERT_TRUE(bench.Attach("slave1"));
    ASSERT_TRUE(bench.Attach("master"));
    EXPECT_EQ(Ask("info?\r", 9), "\r\nERROR\r\n") << "the master must have lost \"at+bt\"";
}

TEST_F(SimBench, DetachedOrSilentMeansNoAnswer) {
    bench.Detach();
    EXPECT_EQ(bench.Attached(), "");
    ASSERT_TRUE(port->Write("at\r"));
    ASSERT_TRUE(bench.WaitForReceived(3, Ms(2000)));
    EXPECT_EQ(port->ReadFor(Ms(150)), "");
    EXPECT_EQ(Joined(bench.Transcript(), Direction::Rx, ""), "at\r");

    bench.Attach("slave2");
    bench.With("slave2", [](CSimAdapter& a) { a.Fault().silent = true; });
    ASSERT_TRUE(port->Write("at+btmode,2\r"));
    ASSERT_TRUE(bench.WaitForReceived(15, Ms(2000)));
    EXPECT_EQ(port->ReadFor(Ms(150)), "");
    EXPECT_EQ(bench.StateOf("slave2").mode, 0);
    EXPECT_EQ(bench.LastTxMs(), -1);
}

TEST_F(SimBench, LatencyAndSplitShapeTheReplyInTime) {
    bench.With("master", [](CSimAdapter& a) { a.Fault().latencyMs = 150; });
    auto t0 = Clock::now();
    EXPECT_EQ(Ask("at\r", kOk.size()), kOk);
    EXPECT_GE(Since(t0), 140);
    EXPECT_LT(Since(t0), 1000);

    bench.With("master", [](CSimAdapter& a) {
        a.Fault() = Faults{};
        a.Fault().splitAt = 2;
        a.Fault().splitPauseMs = 200;
    });
    t0 = Clock::now();
    ASSERT_TRUE(port->Write("at\r"));
    EXPECT_EQ(port->Read(2, Ms(2000)), "\r\n");
    EXPECT_LT(Since(t0), 150) << "the first part goes out at once";
    const auto t1 = Clock::now();
    EXPECT_EQ(port->Read(4, Ms(2000)), "OK\r\n");
    EXPECT_GE(Since(t1), 180);
}

TEST_F(SimBench, GarbageComesBeforeTheReply) {
    bench.With("master", [](CSimAdapter& a) { a.Fault().garbageBytes = 8; });
    const std::string got = Ask("at\r", 8 + kOk.size());
    ASSERT_EQ(got.size(), 8 + kOk.size());
    EXPECT_EQ(got.substr(8), kOk);
    EXPECT_TRUE(std::all_of(got.begin(), got.begin() + 8,
                            [](unsigned char c) { return std::isprint(c) != 0; }));
}

TEST_F(SimBench, AMegabyteFloodNeitherBlocksTheBenchNorGetsLost) {
    constexpr std::size_t kFlood = 1u << 20;
    bench.With("master", [](CSimAdapter& a) { a.Fault().floodBytes = kFlood; });
    ASSERT_TRUE(port->Write("at\r"));
    ASSERT_TRUE(bench.WaitForReceived(3, Ms(2000)));
    EXPECT_GT(bench.PendingTx(), 0u) << "the port is not reading: the flood must wait queued";

    const auto t0 = Clock::now();
    EXPECT_TRUE(bench.Attach("master"));
    EXPECT_FALSE(bench.Show().empty());
    EXPECT_LT(Since(t0), 200);

    const std::string got = port->Read(kOk.size() + kFlood, Ms(10000));
    ASSERT_EQ(got.size(), kOk.size() + kFlood);
    EXPECT_EQ(got.substr(0, kOk.size()), kOk);
    EXPECT_EQ(bench.PendingTx(), 0u);
    std::size_t flood = 1;
    bench.With("master", [&](CSimAdapter& a) { flood = a.Fault().floodBytes; });
    EXPECT_EQ(flood, 0u) << "a flood is one-shot";
    EXPECT_EQ(Ask("at\r", kOk.size()), kOk);
    EXPECT_EQ(port->ReadFor(Ms(50)), "");
}

TEST_F(SimBench, StopMakesTheLineVanish) {
    bench.Stop();
    EXPECT_FALSE(bench.Running());
    pollfd p{port->Fd(), POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 1000), 1);
    EXPECT_NE(p.revents & (POLLHUP | POLLERR), 0);
    char c = 0;
    const ssize_t n = ::read(port->Fd(), &c, 1);
    EXPECT_TRUE(n == 0 || (n < 0 && errno == EIO)) << n;
}

TEST_F(SimBench, AServiceLoopThatFailsIsNotRunningAndStartsAgain) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    // The sanitizers' own checks need descriptors (a pipe to probe memory).
    GTEST_SKIP() << "a one-descriptor limit breaks the sanitizer runtime";
#endif
    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &limit), 0);
    const rlimit one{1, limit.rlim_max}; // poll refuses more descriptors than that
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &one), 0);
    bench.Inject("x"); // wakes the loop into the poll that fails
    const bool ended = nw::test::WaitUntil([&] { return !bench.Running(); }, Ms(2000));
    setrlimit(RLIMIT_NOFILE, &limit);
    EXPECT_TRUE(ended);
    ASSERT_TRUE(bench.Start());
    port = std::make_unique<CSimPortEnd>(bench.Path());
    EXPECT_EQ(Ask("at\r\n", kOk.size()), kOk);
}

// The verdict reads the adapters only; the line need not be served.
TEST(SimNetwork, VerdictFollowsTheConfiguration) {
    CSimBench bench;
    EXPECT_EQ(bench.NetworkVerdict(), "network: not formed: master is not in mode 1");
    bench.With("master", [](CSimAdapter& a) {
        a.State().mode = 1;
        a.State().s46 = "0001950A0B01";
        a.State().s54 = "0001950a0b02";
    });
    EXPECT_EQ(bench.NetworkVerdict(), "network: not formed: no multiple connection mode set");
    bench.With("master", [](CSimAdapter& a) { a.State().s53 = 1; });
    for (const char* who : {"slave1", "slave2"})
        bench.With(who, [](CSimAdapter& a) {
            a.State().mode = 2;
            a.State().s46 = "0001950A0B00";
        });
    EXPECT_EQ(bench.NetworkVerdict(),
              "network: OK, master 0001950A0B00 Multi-Drop with slave1, slave2");
    bench.With("master", [](CSimAdapter& a) { a.State().s53 = 2; });
    EXPECT_EQ(bench.NetworkVerdict(),
              "network: OK, master 0001950A0B00 Node Switching with slave1, slave2");

    bench.With("slave2", [](CSimAdapter& a) { a.State().s46 = "0001950A0B03"; });
    EXPECT_EQ(bench.NetworkVerdict(), "network: not formed: slave2 does not point at the master");
    bench.With("slave2", [](CSimAdapter& a) {
        a.State().s46 = "0001950A0B00";
        a.State().mode = 0;
    });
    EXPECT_EQ(bench.NetworkVerdict(), "network: not formed: slave2 is not in mode 2");
    bench.With("slave2", [](CSimAdapter& a) { a.State().mode = 2; });
    bench.With("slave4", [](CSimAdapter& a) {
        a.State().mode = 2;
        a.State().s46 = "0001950A0B00";
    });
    EXPECT_EQ(bench.NetworkVerdict(),
              "network: not formed: slave4 points at the master but the master does not name it");
    bench.With("slave4", [](CSimAdapter& a) { a.FactoryReset(); });
    bench.With("master", [](CSimAdapter& a) { a.State().s55 = "0001950A0B09"; });
    EXPECT_NE(bench.NetworkVerdict().find("0001950A0B09, which is no slave"), std::string::npos);
    bench.With("master", [](CSimAdapter& a) {
        a.State().s46 = a.State().s54 = a.State().s55 = "000000000000";
    });
    EXPECT_EQ(bench.NetworkVerdict(), "network: not formed: master names no slave");
}

TEST_F(SimBench, ANetworkConfiguredOverTheLineIsRecognised) {
    for (const char* who : {"slave1", "slave2"}) {
        ASSERT_TRUE(bench.Attach(who));
        EXPECT_EQ(Ask("at+btmode,2\rats46=0001950A0B00\ratz\r", 3 * kOk.size()), kOk + kOk + kOk);
        EXPECT_EQ(bench.StateOf(who).link, LinkState::Pending);
    }
    ASSERT_TRUE(bench.Attach("master"));
    EXPECT_EQ(Ask("at+btmode,1\rats53=1\rats46=0001950A0B02\rats54=0001950A0B01\r", 4 * kOk.size()),
              kOk + kOk + kOk + kOk);
    EXPECT_EQ(bench.NetworkVerdict(),
              "network: OK, master 0001950A0B00 Multi-Drop with slave2, slave1");
    EXPECT_NE(bench.Show().find("network: OK"), std::string::npos);
}

} // namespace
} // namespace nw::sim
