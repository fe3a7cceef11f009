#include "protocol/CommandExchange.h"
#include "protocol/Dialect.h"
#include "serial/LineSettings.h"
#include "sim/SimBench.h"
#include "support/PtyPair.h"
#include "support/Say.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace nw {
namespace {

using namespace std::chrono_literals;
using test::PtyPair;
using test::WaitUntil;

TEST(Dialect, AddressWritesAreFormattedIntoTheCommandBuffer) {
    EXPECT_EQ(cmd::FormatAddressWrite(cmd::kAts46Write, "0001950A0B01"), "ATS46=0001950A0B01\r\n");
    EXPECT_EQ(cmd::FormatAddressWrite(cmd::kAts56Write, ""), "ATS56=\r\n");
    // The 64-byte buffer cuts an over-long text (63 characters kept).
    EXPECT_EQ(cmd::FormatAddressWrite(cmd::kAts54Write, std::string(100, 'A')).size(), 63u);
}

class Exchange : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(bench.Start(&error)) << error;
        ASSERT_TRUE(bench.Attach("master"));
        ASSERT_TRUE(port.Open(bench.Path(), 9600, stopbits::kOne, parity::kNone));
    }
    std::string Received() {
        // The service thread may still be recording the last write.
        std::string got;
        WaitUntil([&] { return !(got = bench.Received()).empty(); }, 200ms);
        bench.ClearTranscript();
        return got;
    }

    sim::CSimBench bench;
    CSerialPort port;
    CScaledPacer pacer{0.1}; // 400 ms -> 40 ms
    CCommandExchange ex{port, pacer};
};

TEST_F(Exchange, ReplyIsWhatArrivedDuringThePause) {
    EXPECT_EQ(test::Say(ex, cmd::kAt, 400), "\r\nOK\r\n");
    EXPECT_EQ(ex.m_strResponse, "\r\nOK\r\n");
    EXPECT_EQ(ex.m_nRxCount, 6);
    EXPECT_EQ(Received(), "at\r\n");

    // The escape goes out as exactly three bytes, with no line end.
    EXPECT_EQ(test::Say(ex, cmd::kEscape, 400), "\r\nOK\r\n");
    EXPECT_EQ(Received(), "+++");
}

TEST_F(Exchange, SilenceGivesTheEmptyReply) {
    bench.Detach();
    EXPECT_EQ(test::Say(ex, cmd::kAt, 400), "");
    EXPECT_EQ(ex.m_nRxCount, 0);
    EXPECT_EQ(ex.m_strResponse, "");
}

TEST_F(Exchange, StaleBytesAreDrainedBeforeTheCommand) {
    bench.Inject("\r\nlate OK from before\r\n");
    ASSERT_TRUE(WaitUntil([&] { return port.m_rxBuffer.GetCount() > 0; }, 1s));
    bench.Detach();
    EXPECT_EQ(test::Say(ex, cmd::kAt, 400), "");
}

TEST_F(Exchange, SplitReplyLosesItsTailToTheNextDrain) {
    bench.With("master", [](sim::CSimAdapter& a) {
        a.Fault().splitAt = 3;
        a.Fault().splitPauseMs = 150; // the pause is 40 ms
    });
    EXPECT_EQ(test::Say(ex, cmd::kAt, 400), "\r\nO");
    std::this_thread::sleep_for(250ms); // the tail "K\r\n" arrives now
    bench.With("master", [](sim::CSimAdapter& a) { a.Fault().splitAt = 0; });
    EXPECT_EQ(test::Say(ex, cmd::kAts10Query, 400), "\r\n1\r\n\r\nOK\r\n");
}

TEST_F(Exchange, NulEndsTheTextButCountsAsTaken) {
    bench.With("master", [](sim::CSimAdapter& a) {
        a.Fault().scripted["at"] = std::string("\r\nO\0K\r\n", 7);
    });
    EXPECT_EQ(test::Say(ex, cmd::kAt, 400), "\r\nO");
    EXPECT_EQ(ex.m_nRxCount, 7);
    EXPECT_EQ(ex.m_szRxBuf[7], '\0');
}

TEST_F(Exchange, AFailedWriteEndsTheOperationUntilTheNextBegins) {
    int failures = 0;
    port.SetMessageSink([&](const std::string&) { ++failures; });
    bench.Stop(); // the far end goes away: writes fail
    ASSERT_TRUE(WaitUntil([&] { return port.IsDisconnected(); }, 1s));
    CScaledPacer real{1.0};
    ex.SetPacer(real);
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(test::Say(ex, cmd::kAt, 300), "");
    EXPECT_TRUE(ex.LineGone());
    EXPECT_FALSE(ex.Write(cmd::kAts10Query));
    ex.Pause(300);
    EXPECT_EQ(test::Say(ex, cmd::kAts10Query, 300), "");
    EXPECT_LT(std::chrono::steady_clock::now() - t0, 250ms) << "no pause once the line is gone";
    EXPECT_EQ(failures, 1); // the failure is told once, not per command
    ex.BeginOperation();
    EXPECT_FALSE(ex.LineGone());
    EXPECT_FALSE(ex.Write(cmd::kAt));
    EXPECT_EQ(failures, 2);
}

TEST_F(Exchange, AnEchoedCommandIsDroppedFromTheFrontOfItsReply) {
    bench.With("master", [](sim::CSimAdapter& a) { a.Fault().echo = true; });
    // This one echoes the CR at once and the LF after its answer.
    EXPECT_EQ(test::Say(ex, cmd::kAts10Query, 400), "\r\n1\r\n\r\nOK\r\n\n");
    EXPECT_EQ(ex.m_nRxCount, 19); // the bytes as they came
    // Whatever line end the device sends back with its echo.
    EXPECT_EQ(DropEcho("ats10?\r\r\n0\r\n", cmd::kAts10Query), "\r\n0\r\n");
    EXPECT_EQ(DropEcho("+++\r\nOK\r\n", cmd::kEscape), "\r\nOK\r\n");
    // Only an echo at the very front: a reply without one is as it came.
    EXPECT_EQ(DropEcho("\r\nOK\r\nat\r\n", cmd::kAt), "\r\nOK\r\nat\r\n");
}

TEST(Pacer, RealPauseIsNeverShortAndScaledPauseScales) {
    CRealPacer real;
    for (std::uint32_t ms : {1u, 20u, 400u}) {
        const auto t0 = std::chrono::steady_clock::now();
        real.Pause(ms);
        const auto took = std::chrono::steady_clock::now() - t0;
        EXPECT_GE(took, std::chrono::milliseconds(ms));
        EXPECT_LT(took, std::chrono::milliseconds(ms + 60));
    }
    CScaledPacer scaled{0.01};
    const auto t0 = std::chrono::steady_clock::now();
    scaled.Pause(4000);
    const auto took = std::chrono::steady_clock::now() - t0;
    EXPECT_GE(took, 40ms);
    EXPECT_LT(took, 200ms);
}

} // namespace
} // namespace nw
