// The command line: usage errors stop before the port is touched; help and
// version print on stdout.
#include "CliFixture.h"

namespace nw::cli::test {
namespace {

TEST_F(CliBench, CliUsageErrorsAreExitTwoAndSendNothing) {
    ASSERT_TRUE(bench.Attach("master"));
    const std::string path = bench.Path();
    const std::vector<std::pair<std::vector<std::string>, const char*>> cases = {
        {{"check"}, "--port is required"},
        {{}, "A subcommand is required"},
        {{"-p", path, "frobnicate"}, "unknown command: frobnicate"},
        {{"-p", path, "check", "--frob"}, "--frob"},
        {{"-p", path, "-b", "9601", "check"}, "--baud"},
        {{"-p", path, "-b", "", "check"}, "--baud"},
        {{"-p", path, "--stop-bits", "", "check"}, "--stop-bits"},
        {{"-p", path, "wizard", "--n", ""}, "--n"},
        {{"-p", path, "--baud", "fast", "check"}, "--baud"},
        {{"-p", path, "--parity", "mark", "check"}, "--parity"},
        {{"-p", path, "--stop-bits", "3", "check"}, "--stop-bits"},
        {{"-p", path, "wizard", "--n", "5"}, "--n"},
        {{"-p", path, "master", "--mode", "ring"}, "--mode"},
        {{"-p", path, "slave"}, "--master is required"},
        {{"-p", path, "master", "--slave1", "0001950A0B01", "--slave2", "0001950A0B0\x01"},
         "--slave2: control character"},
        {{"-p", path, "slave", "--master", "0001950A0B0\x7f"}, "--master: control character"},
        {{"-p", path, "slave", "--master", "0001950A\r0B00"}, "--master: control character"},
    };
    for (const auto& [args, reason] : cases) {
        const CliRun r = RunArgs(args);
        EXPECT_EQ(r.code, 2) << reason;
        EXPECT_EQ(r.out, "") << reason;
        EXPECT_EQ(r.err.rfind("Usage: nodewright-cli [OPTIONS] COMMAND", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(reason), std::string::npos) << r.err;
        EXPECT_EQ(r.sent, "") << reason;
    }
}

TEST_F(CliBench, CliHelpAndVersionPrintOnStdout) {
    CliRun r = RunArgs({"--version"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "nodewright-cli 1.0.0.1\n");

    r = RunArgs({"--help"});
    EXPECT_EQ(r.code, 0);
    for (const char* word :
         {"ports", "check", "detect", "master", "slave", "reset", "autofill", "wizard", "--port",
          "--baud", "--parity", "--stop-bits", "--trace", "--json"})
        EXPECT_NE(r.out.find(word), std::string::npos) << word;

    r = RunArgs({"master", "--help"});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("Usage: nodewright-cli master"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("--slave4"), std::string::npos) << r.out;
    EXPECT_EQ(r.err, "");
}

TEST_F(CliBench, CliGlobalOptionsMayFollowTheCommand) {
    ASSERT_TRUE(bench.Attach("master"));
    const CliRun r = RunArgs({"detect", "--json", "--port", bench.Path(), "-b", "9600"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "{\"ok\":true,\"detected\":true,\"multiConnection\":true}\n");
}

} // namespace
} // namespace nw::cli::test
