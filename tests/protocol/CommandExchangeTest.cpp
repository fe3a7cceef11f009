// The script interpreter over a real port on the simulated bench: what a
// step does with its reply and where the script goes next.
#include "protocol/CommandExchange.h"
#include "protocol/Dialect.h"
#include "protocol/Script.h"
#include "serial/LineSettings.h"
#include "sim/SimBench.h"
#include "support/PtyPair.h"

#include <gtest/gtest.h>

#include <chrono>

namespace nw {
namespace {

using namespace std::chrono_literals;
using script::kDone;
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

TEST_F(Exchange, StepsJudgeTheirReplyAndGoWhereTheScriptSays) {
    Fault([](sim::CSimAdapter& a) {
        a.Fault().scripted["ats55?"] = "ERROR";
        a.Fault().scripted["ats56?"] = "\r\nERROR\r\n";
    });
    const std::string args[] = {"0001950A0B01"};
    const script::Step steps[] = {
        /* 0 */ {.command = cmd::kAts10Query,
                 .pauseMs = 400,
                 .keyword = "7",
                 .orKeyword = "1",
                 .onHit = 2},
        /* 1 */ {.command = cmd::kAt, .pauseMs = 400}, // jumped over
        /* 2 */ {.command = cmd::kAts46Write, .pauseMs = 400, .send = script::Send::Bare, .arg = 0},
        /* 3 */
        {.command = cmd::kAts55Query,
         .pauseMs = 400,
         .keyword = "ERROR",
         .where = script::Where::Exact,
         .onMiss = kDone},
        /* 4 */
        {.command = cmd::kAts56Query,
         .pauseMs = 400,
         .keyword = "ERROR",
         .where = script::Where::Exact,
         .onHit = kDone,
         .failure = 7},
        /* 5 */ {.command = cmd::kAt, .pauseMs = 400},
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
