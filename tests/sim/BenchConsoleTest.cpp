#include "sim/BenchConsole.h"

#include <gtest/gtest.h>

namespace nw::sim {
namespace {

class SimConsole : public ::testing::Test {
  protected:
    CSimBench bench;
    CBenchConsole console{bench};
};

TEST_F(SimConsole, CommandsChangeTheBenchAndSayWhat) {
    const std::string bad = bench.Show();
    for (const char* line :
         {"frobnicate", "attach", "attach slave9", "set slave1", "set slave9 mode 1",
          "set slave1 mode 4", "set slave1 s46 123", "set slave1 s46 0001950A0B0X",
          "set slave1 silent maybe", "set slave1 colour red", "set slave1 latency -5",
          "set slave1 latency 12ms", "set slave1 flood 67108865", "set slave1 mode 1 2", "reset",
          "link slave7", "show me", "transcript all"}) {
        const std::string out = console.Execute(line);
        EXPECT_TRUE(out.starts_with("error: ") && out.ends_with(" (try \"help\")\n")) << out;
    }
    EXPECT_EQ(bench.Show(), bad) << "a bad line changes nothing";

    std::string said;
    for (const char* line :
         {"attach slave2", "  detach  ", "", "# a comment", "set slave1 latency 120",
          "set slave1 silent on", "set slave1 flood 4096", "set slave1 mode 2",
          "set slave1 s46 0001950a0B00", "set slave1 name Field Unit 7", "set slave1 multi 0",
          "set slave1 s10 0", "link slave3", "pending slave3", "transcript"})
        said += console.Execute(line);
    EXPECT_EQ(said, "attached slave2\ndetached\nslave1 latency = 120\nslave1 silent = on\n"
                    "slave1 flood = 4096\nslave1 mode = 2\nslave1 s46 = 0001950a0B00\n"
                    "slave1 name = Field Unit 7\nslave1 multi = 0\nslave1 s10 = 0\n"
                    "slave3: CONNECT (data mode)\nslave3: PENDING\n(transcript empty)\n");
    const std::string show = console.Execute("show");
    EXPECT_EQ(show, bench.Show());
    for (const char* part : {"  slave1  0001950A0B01  \"Field Unit 7\"  MODE2 STANDBY (command)\n",
                             "s10=0 s53=0 s46=0001950a0B00 ", "NoFC auth=0 encrypt=0 no-multi",
                             "faults: silent latency=120ms flood=4096\n",
                             "slave3  0001950A0B03  \"OLMA-S3\"  MODE0 PENDING"})
        EXPECT_NE(show.find(part), std::string::npos) << part << " in\n" << show;

    EXPECT_EQ(console.Execute("reset slave1"), "slave1: factory defaults\n");
    EXPECT_EQ(bench.StateOf("slave1").name, "OLMA-S1");
    EXPECT_NE(bench.Show().find("faults: silent latency=120ms flood=4096\n"), std::string::npos)
        << "a reset keeps the faults";
    EXPECT_EQ(console.Execute("standby slave3"), "slave3: STANDBY\n");
    EXPECT_FALSE(console.Quit());
    EXPECT_EQ(console.Execute("quit"), "");
    EXPECT_TRUE(console.Quit());
}

// The verdict reads the adapters only; the line need not be served.
TEST_F(SimConsole, TheNetworkVerdictFollowsTheConfiguration) {
    const std::pair<const char*, const char*> steps[] = {
        {"reset master", "not formed: master is not in mode 1"},
        {"set master mode 1", "not formed: no multiple connection mode set"},
        {"set master s53 1", "not formed: master names no slave"},
        {"set master s46 0001950A0B01", "not formed: slave1 is not in mode 2"},
        {"set slave1 mode 2", "not formed: slave1 does not point at the master"},
        {"set slave1 s46 0001950a0b00", "OK, master 0001950A0B00 Multi-Drop with slave1"},
        {"set slave2 mode 2", "OK, master 0001950A0B00 Multi-Drop with slave1"},
        {"set slave2 s46 0001950A0B00",
         "not formed: slave2 points at the master but the master does not name it"},
        {"set master s54 0001950a0b02", "OK, master 0001950A0B00 Multi-Drop with slave1, slave2"},
        {"set master s53 2", "OK, master 0001950A0B00 Node Switching with slave1, slave2"},
        {"set master s56 0001950A0B01", "not formed: slave1 is named twice by the master"},
        {"set master s56 0001950A0B09",
         "not formed: master s56 names 0001950A0B09, which is no slave on the bench"},
    };
    for (const auto& [line, verdict] : steps) {
        console.Execute(line);
        EXPECT_EQ(bench.NetworkVerdict(), std::string("network: ") + verdict) << line;
        EXPECT_TRUE(bench.Show().ends_with("\nnetwork: " + std::string(verdict) + "\n"));
    }
}

} // namespace
} // namespace nw::sim
