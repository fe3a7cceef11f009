// Both programs stopped by a signal in the middle of their work: they end at
// once and leave nothing behind, neither a locked line nor a link.
#include "sim/SimBench.h"
#include "support/FakeTree.h"
#include "support/PtyPair.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#if !defined(NW_CLI_BINARY) || !defined(NW_SIM_BINARY)
#error "NW_CLI_BINARY and NW_SIM_BINARY must name the executables"
#endif

namespace nw::test {
namespace {

using namespace std::chrono_literals;

// Starts argv[0] on the given standard streams, the stop signals at their
// defaults whatever the test runner set.
pid_t Spawn(const std::vector<std::string>& argv, int in, int out, int err) {
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) { // only async-signal-safe calls from here on
        for (const int s : {SIGINT, SIGTERM, SIGHUP})
            signal(s, SIG_DFL);
        dup2(in, STDIN_FILENO);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        execv(args[0], args.data());
        _exit(127);
    }
    return pid;
}

// The wait status once `pid` ended, or -1 when it still ran after `timeout`
// (it is killed then).
int WaitForExit(pid_t pid, std::chrono::milliseconds timeout) {
    int status = -1;
    if (pid > 0 && !WaitUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; }, timeout)) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        status = -1;
    }
    return status;
}

TEST(Programs, TheCliStoppedMidCommandUnlocksTheLine) {
    sim::CSimBench bench;
    ASSERT_TRUE(bench.Start());
    ASSERT_TRUE(bench.Attach("master"));
    const int null = open("/dev/null", O_RDWR | O_CLOEXEC);
    const std::vector<std::string> check{NW_CLI_BINARY, "-p", bench.Path(), "check"};
    const pid_t pid = Spawn(check, null, null, null);
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(bench.WaitForReceived(4, 5s)); // "at": open, and in the pause
    kill(pid, SIGTERM);
    const int status = WaitForExit(pid, 2s);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 128 + SIGTERM) << "status " << status;

    // Root opens a locked line all the same, so ask the terminal itself.
    const int line = open(bench.Path().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    int exclusive = -1;
    EXPECT_EQ(ioctl(line, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0) << "the stopped program left the line locked";
    close(line);
    EXPECT_EQ(WaitForExit(Spawn(check, null, null, null), 10s), 0);
    close(null);
}

TEST(Programs, TheSimWithNobodyReadingItsOutputStopsAndRemovesItsLink) {
    const TempDir dir;
    const std::string link = dir.File("olma");
    int in[2];
    int out[2];
    ASSERT_EQ(pipe2(in, O_CLOEXEC), 0);
    ASSERT_EQ(pipe2(out, O_CLOEXEC), 0);
    fcntl(out[0], F_SETPIPE_SZ, 4096); // full after the first few lines
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    const pid_t pid = Spawn({NW_SIM_BINARY, "--link", link}, in[0], out[1], null);
    ASSERT_GT(pid, 0);
    std::string shows;
    for (int i = 0; i < 100; ++i)
        shows += "show\n";
    ASSERT_EQ(write(in[1], shows.data(), shows.size()), static_cast<ssize_t>(shows.size()));
    int unread = -1; // taken: the bench is serving and printing into the full pipe
    EXPECT_TRUE(WaitUntil([&] { return ioctl(in[0], FIONREAD, &unread) == 0 && unread == 0; }, 5s));
    struct stat st {};
    EXPECT_EQ(lstat(link.c_str(), &st), 0);

    kill(pid, SIGTERM);
    EXPECT_NE(WaitForExit(pid, 2s), -1) << "still running with its output blocked";
    EXPECT_NE(lstat(link.c_str(), &st), 0) << "the link outlived the bench";
    for (const int fd : {in[0], in[1], out[0], out[1], null})
        close(fd);
}

} // namespace
} // namespace nw::test
