// What nodewright-cli claims when things go wrong: a line that vanishes, a
// device that speaks AT without being an adapter, one that echoes, adapter
// text meant to take over the terminal, an output nobody can write.
#include "CliFixture.h"

#include <algorithm>

namespace nw::cli::test {
namespace {

using sim::CSimAdapter;

TEST_F(CliBench, CliALineThatVanishesEndsInFailureNotInValuesNeverRead) {
    ASSERT_TRUE(bench.Attach("master"));
    int pauses = 0;
    int stopAt = 1; // check: after "at", before the information query
    pacer.onPause = [&](std::uint32_t) {
        if (++pauses == stopAt)
            bench.Stop();
    };
    CliRun r = Run({"--json", "check"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "{\"ok\":false,\"detected\":false}\n");
    EXPECT_EQ(Count(r.err, "reterror"), 1u) << r.err;

    ASSERT_TRUE(bench.Start());
    ASSERT_TRUE(bench.Attach("master"));
    With("master", [](CSimAdapter& a) { a.State().s46 = "0001950A0B01"; });
    pauses = 0;
    stopAt = 5; // autofill: the window's report (3), the wake-up, S46
    r = Run({"--json", "autofill"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "{\"ok\":false}\n");
    EXPECT_EQ(Count(r.err, "reterror"), 1u) << r.err;
}

TEST_F(CliBench, CliADeviceWithoutAnAddressIsNoAdapter) {
    // It answers "at" like any AT device, and ERROR to the information query.
    ASSERT_TRUE(bench.Attach("master"));
    With("master", [](CSimAdapter& a) { a.Fault().scripted["at+btinfo?"] = "\r\nERROR\r\n"; });
    CliRun r = Run({"check"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out.rfind("Friendly Name: \nBluetooth Address: \n", 0), 0u) << r.out;
    r = Run({"--json", "check"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out.rfind("{\"ok\":false,\"detected\":false,\"report\":\"Friendly Name: \\n", 0),
              0u)
        << r.out;
}

TEST_F(CliBench, CliAnEchoingAdapterIsReadRight) {
    ASSERT_TRUE(bench.Attach("master"));
    With("master", [](CSimAdapter& a) {
        a.Fault().echo = true;
        a.State().s46 = "0001950A0B01";
        a.State().s54 = "0001950A0B02";
        a.State().s10 = 0;
    });
    CliRun r = Run({"--json", "check"});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("\"address\":\"0001950A0B00\""), std::string::npos) << r.out;
    r = Run({"--json", "autofill"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "{\"ok\":true,\"slaves\":[\"0001950A0B01\",\"0001950A0B02\","
                     "\"000000000000\",\"000000000000\"],\"use\":[true,true,false,false],"
                     "\"disableResponse\":true,\"mode\":\"multi-drop\",\"unread\":[]}\n");
}

TEST_F(CliBench, CliAdapterTextReachesATerminalSpelledAndAPipeVerbatim) {
    ASSERT_TRUE(bench.Attach("master"));
    const std::string name = "\x1b]0;owned\x07\x1b[2J\xc2\x9b\x7f\xce\xbb";
    With("master", [&](CSimAdapter& a) { a.State().name = name; });
    CliRun r = Run({"check"});
    EXPECT_NE(r.out.find("Friendly Name: " + name + "\n"), std::string::npos);
    env.stdoutIsTerminal = true;
    r = Run({"check"});
    EXPECT_NE(r.out.find("Friendly Name: <1b>]0;owned<07><1b>[2J<c2><9b><7f>\xce\xbb\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\x1b'), 0);
}

TEST_F(CliBench, CliAResultThatCannotBeWrittenIsAFailure) {
    struct Full : std::streambuf {
        int_type overflow(int_type) override { return traits_type::eof(); }
    } full;
    std::ostream out(&full);
    std::ostringstream err;
    std::istringstream in;
    ASSERT_TRUE(bench.Attach("master"));
    const std::string path = bench.Path();
    const char* argv[] = {"nodewright-cli", "-p", path.c_str(), "check"};
    EXPECT_EQ(RunCli(4, argv, in, out, err, env), 1);
    EXPECT_NE(err.str().find("standard output could not be written"), std::string::npos);
}

} // namespace
} // namespace nw::cli::test
