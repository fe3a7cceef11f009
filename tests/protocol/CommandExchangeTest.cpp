// The command exchange and the script interpreter over a real port on the
// simulated bench: what a reply is (a late tail, a NUL, an echo) and what a
// step does with it.
#include "protocol/CommandExchange.h"
#include "protocol/Dialect.h"
#include "protocol/Script.h"
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
using script::kDone;
using test::Say;
using test::WaitUntil;

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
    void Fault(const std::function<void(sim::CSimAdapter&)>& f) { bench.With("master", f); }

    sim::CSimBench bench;
    CSerialPort port;
    CScaledPacer pacer{0.1}; // 400 ms -> 40 ms
    CCommandExchange ex{port, pacer};
};

TEST_F(Exchange, AReplyIsWhatArrivedDuringThePauseAfterADrain) {
    EXPECT_EQ(Say(ex, cmd::kAt, 400), "\r\nOK\r\n");
    EXPECT_EQ(ex.m_nRxCount, 6);
    EXPECT_EQ(Received(), "at\r\n");
    EXPECT_EQ(Say(ex, cmd::kEscape, 400), "\r\nOK\r\n"); // three bytes, no line end
    EXPECT_EQ(Received(), "+++");

    // A reply's tail that comes after the pause belongs to nobody: the next
    // step drains it.
    Fault([](sim::CSimAdapter& a) {
        a.Fault().splitAt = 3;
        a.Fault().splitPauseMs = 150;
    });
    EXPECT_EQ(Say(ex, cmd::kAt, 400), "\r\nO");
    std::this_thread::sleep_for(250ms);
    Fault([](sim::CSimAdapter& a) { a.Fault().splitAt = 0; });
    EXPECT_EQ(Say(ex, cmd::kAts10Query, 400), "\r\n1\r\n\r\nOK\r\n");

    // A NUL ends the text but its bytes count as taken.
    Fault([](sim::CSimAdapter& a) { a.Fault().scripted["at"] = std::string("\r\nO\0K\r\n", 7); });
    EXPECT_EQ(Say(ex, cmd::kAt, 400), "\r\nO");
    EXPECT_EQ(ex.m_nRxCount, 7);

    bench.Detach();
    EXPECT_EQ(Say(ex, cmd::kAt, 400), "");
    EXPECT_EQ(ex.m_nRxCount, 0);
}

TEST_F(Exchange, AnEchoedCommandIsDroppedFromTheFrontOfItsReply) {
    Fault([](sim::CSimAdapter& a) { a.Fault().echo = true; });
    // This one echoes the CR at once and the LF after its answer.
    EXPECT_EQ(Say(ex, cmd::kAts10Query, 400), "\r\n1\r\n\r\nOK\r\n\n");
    EXPECT_EQ(ex.m_nRxCount, 19); // the bytes as they came
    EXPECT_EQ(DropEcho("ats10?\r\r\n0\r\n", cmd::kAts10Query), "\r\n0\r\n");
    EXPECT_EQ(DropEcho("+++\r\nOK\r\n", cmd::kEscape), "\r\nOK\r\n");
    // Only an echo at the very front: a reply without one is as it came.
    EXPECT_EQ(DropEcho("\r\nOK\r\nat\r\n", cmd::kAt), "\r\nOK\r\nat\r\n");
}

TEST_F(Exchange, StepsJudgeTheirReplyAndGoWhereTheScriptSays) {
    Fault([](sim::CSimAdapter& a) {
        a.Fault().scripted["ats55?"] = "ERROR";
        a.Fault().scripted["ats56?"] = "\r\nERROR\r\n";
    });
    const std::string args[] = {"0001950A0B01"};
    constexpr auto kExact = script::Where::Exact;
    const script::Step steps[] = {
        {.command = cmd::kAts10Query, .pauseMs = 400, .keyword = "7", .orKeyword = "1", .onHit = 2},
        {.command = cmd::kAt, .pauseMs = 400}, // jumped over
        {.command = cmd::kAts46Write, .pauseMs = 400, .send = script::Send::Bare, .arg = 0},
        {.command = cmd::kAts55Query,
         .pauseMs = 400,
         .keyword = "ERROR",
         .where = kExact,
         .onMiss = kDone},
        {.command = cmd::kAts56Query,
         .pauseMs = 400,
         .keyword = "ERROR",
         .where = kExact,
         .onHit = kDone,
         .failure = 7},
        {.command = cmd::kAt, .pauseMs = 400},
    };
    const script::Result r = script::Run(ex, steps, args);
    EXPECT_EQ(Received(), "ats10?\r\nATS46=0001950A0B01\r\nats55?\r\nats56?\r\n");
    EXPECT_EQ(r.kind, OutcomeKind::Failed); // "ERROR" in the reply, but not as the whole of it
    EXPECT_EQ(r.failure, 7);
    EXPECT_EQ(r.endedAt, 4);
    EXPECT_EQ(r.transcript.size(), 4u);
    EXPECT_EQ(r.ReplyOf(2), ""); // a bare step takes nothing; its "OK" is drained
    EXPECT_EQ(r.ReplyOf(3), "ERROR");
}

} // namespace
} // namespace nw
