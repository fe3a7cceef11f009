// The nodewright-cli executable itself, with its real pauses.
#include "CliFixture.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>

#ifndef NW_CLI_BINARY
#error "NW_CLI_BINARY must name the nodewright-cli executable"
#endif

namespace nw::cli::test {
namespace {

std::string Slurp(const std::filesystem::path& file) {
    std::ifstream in(file);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Runs the binary with `args` (already quoted for the shell), stdin empty.
CliRun RunBinary(const std::string& args) {
    namespace fs = std::filesystem;
    std::string dir = (fs::temp_directory_path() / "nw_cli_bin_XXXXXX").string();
    CliRun r;
    if (::mkdtemp(dir.data()) == nullptr)
        return r;
    const std::string command = std::string("'") + NW_CLI_BINARY + "' " + args + " </dev/null >'" +
                                dir + "/out' 2>'" + dir + "/err'";
    const int status = std::system(command.c_str());
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = Slurp(fs::path(dir) / "out");
    r.err = Slurp(fs::path(dir) / "err");
    fs::remove_all(dir);
    return r;
}

TEST(CliBinary, VersionAndUsageError) {
    CliRun r = RunBinary("--version");
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "nodewright-cli 1.0.0.1\n");

    r = RunBinary("check");
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("Usage: nodewright-cli", 0), 0u) << r.err;
}

TEST_F(CliBench, CliBinaryCheckTakesTheRealPauses) {
    ASSERT_TRUE(bench.Attach("master"));
    const auto start = std::chrono::steady_clock::now();
    const CliRun r = RunBinary("-p '" + bench.Path() + "' check");
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, kMasterReport);
    EXPECT_EQ(r.err, "");
    EXPECT_GE(seconds, 2.8); // 400 + 2000 + 400 ms
    EXPECT_LT(seconds, 4.0);
    EXPECT_EQ(Sent(), "at\r\nat+btinfo?\r\nato\r\n");
}

} // namespace
} // namespace nw::cli::test
