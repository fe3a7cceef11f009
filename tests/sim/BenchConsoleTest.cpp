#include "sim/BenchConsole.h"

#include "sim/SimPortEnd.h"

#include <gtest/gtest.h>

namespace nw::sim {
namespace {

class SimConsole : public ::testing::Test {
  protected:
    CSimBench bench;
    CBenchConsole console{bench};
};

TEST_F(SimConsole, AttachDetachShowAndQuit) {
    EXPECT_EQ(console.Execute("attach slave2"), "attached slave2\n");
    EXPECT_EQ(bench.Attached(), "slave2");
    EXPECT_EQ(console.Execute("  detach  "), "detached\n");
    EXPECT_EQ(bench.Attached(), "");
    EXPECT_EQ(console.Execute("show"), bench.Show());
    EXPECT_NE(console.Execute("help").find("transcript"), std::string::npos);
    EXPECT_EQ(console.Execute(""), "");
    EXPECT_EQ(console.Execute("# a comment"), "");
    EXPECT_FALSE(console.Quit());
    EXPECT_EQ(console.Execute("quit"), "");
    EXPECT_TRUE(console.Quit());
}

TEST_F(SimConsole, SetChangesRegistersAndFaultsAndResetKeepsTheFaults) {
    for (const char* line : {"set slave1 latency 120", "set slave1 silent on", "set slave1 mode 2",
                             "set slave1 s46 0001950A0B00", "set slave1 name Field Unit 7",
                             "set slave1 multi off", "set slave1 flood 4096", "set slave1 s10 0"})
        EXPECT_EQ(console.Execute(line).rfind("slave1 ", 0), 0u) << line;
    Faults f;
    bench.With("slave1", [&](CSimAdapter& a) { f = a.Fault(); });
    EXPECT_EQ(f.latencyMs, 120u);
    EXPECT_TRUE(f.silent);
    EXPECT_EQ(f.floodBytes, 4096u);
    AdapterState s = bench.StateOf("slave1");
    EXPECT_EQ(s.mode, 2);
    EXPECT_EQ(s.s46, "0001950A0B00");
    EXPECT_EQ(s.name, "Field Unit 7");
    EXPECT_FALSE(s.multiSupport);
    EXPECT_EQ(s.s10, 0);

    EXPECT_EQ(console.Execute("reset slave1"), "slave1: factory defaults\n");
    s = bench.StateOf("slave1");
    EXPECT_EQ(s.mode, 0);
    EXPECT_EQ(s.name, "OLMA-S1");
    bench.With("slave1", [&](CSimAdapter& a) { f = a.Fault(); });
    EXPECT_EQ(f.latencyMs, 120u);
}

TEST_F(SimConsole, BadLinesAreErrorsAndChangeNothing) {
    const AdapterState before = bench.StateOf("slave1");
    for (const char* line :
         {"frobnicate", "attach", "attach slave9", "set slave1", "set slave9 mode 1",
          "set slave1 mode 4", "set slave1 s46 123", "set slave1 s46 0001950A0B0X",
          "set slave1 silent maybe", "set slave1 colour red", "set slave1 latency -5",
          "set slave1 latency 12ms", "set slave1 mode 1 2", "reset", "link slave7", "show me",
          "transcript all"}) {
        const std::string out = console.Execute(line);
        EXPECT_EQ(out.rfind("error: ", 0), 0u) << line << " -> " << out;
        EXPECT_NE(out.find("help"), std::string::npos) << line;
    }
    const AdapterState after = bench.StateOf("slave1");
    EXPECT_EQ(after.mode, before.mode);
    EXPECT_EQ(after.s46, before.s46);
    EXPECT_EQ(bench.Attached(), "");
}

TEST_F(SimConsole, LinkPendingAndStandby) {
    EXPECT_EQ(console.Execute("link slave3"), "slave3: CONNECT (data mode)\n");
    EXPECT_TRUE(bench.StateOf("slave3").dataMode);
    EXPECT_EQ(console.Execute("pending slave3"), "slave3: PENDING\n");
    EXPECT_FALSE(bench.StateOf("slave3").dataMode);
    EXPECT_EQ(bench.StateOf("slave3").link, LinkState::Pending);
    console.Execute("link slave3");
    EXPECT_EQ(console.Execute("standby slave3"), "slave3: STANDBY\n");
    EXPECT_EQ(bench.StateOf("slave3").link, LinkState::Standby);
    EXPECT_FALSE(bench.StateOf("slave3").dataMode);
}

TEST_F(SimConsole, TranscriptListsEveryChunkSpelled) {
    EXPECT_EQ(CBenchConsole::FormatEntry({12.345, Direction::Rx, "master", "at\r\n"}),
              "  12.345 RX master  at<CR><LF>");
    // (The bytes' spelling is the trace's, tested with it.)
    EXPECT_EQ(console.Execute("transcript"), "(transcript empty)\n");

    ASSERT_TRUE(bench.Start());
    bench.Attach("master");
    test::CSimPortEnd port(bench.Path());
    ASSERT_TRUE(port.Write("at\r\n"));
    ASSERT_EQ(port.Read(6, std::chrono::milliseconds(2000)), "\r\nOK\r\n");
    const std::string text = console.Execute("transcript");
    EXPECT_NE(text.find(" RX master  at<CR><LF>\n"), std::string::npos) << text;
    EXPECT_NE(text.find(" TX master  <CR><LF>OK<CR><LF>\n"), std::string::npos) << text;
    EXPECT_EQ(console.Execute("transcript clear"), "transcript cleared\n");
    EXPECT_TRUE(bench.Transcript().empty());
}

} // namespace
} // namespace nw::sim
