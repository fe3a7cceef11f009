#include "sim/SimBench.h"

#include "support/PtyPair.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace nw::sim {
namespace {

using Ms = std::chrono::milliseconds;

const std::string kOk = "\r\nOK\r\n";

// The bench on its line with the master attached, the test at the port's end.
class SimBench : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(bench.Start());
        ASSERT_TRUE(bench.Attach("master"));
        port = ::open(bench.Path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios tio{};
        ASSERT_EQ(::tcgetattr(port, &tio), 0) << bench.Path();
        ::cfmakeraw(&tio);
        ::tcsetattr(port, TCSANOW, &tio);
    }
    void TearDown() override { ::close(port); }

    // Writes the command, then reads until n bytes came or the time-out passed.
    std::string Ask(const std::string& command, std::size_t n, Ms timeout = Ms(2000)) {
        EXPECT_EQ(::write(port, command.data(), command.size()), ssize_t(command.size()));
        std::string got;
        char buf[4096];
        test::WaitUntil(
            [&] {
                const ssize_t r = ::read(port, buf, std::min(sizeof buf, n - got.size()));
                got.append(buf, static_cast<std::size_t>(std::max<ssize_t>(r, 0)));
                return got.size() >= n;
            },
            timeout);
        return got;
    }

    CSimBench bench;
    int port = -1;
};

TEST_F(SimBench, AnswersOverThePseudoTerminalInjectsAndHangsUpOnStop) {
    EXPECT_EQ(Ask("at\r\n", kOk.size()), kOk);
    bench.Inject("RING\r\n");
    EXPECT_EQ(Ask("", 6), "RING\r\n");
    EXPECT_EQ(bench.Transcript().back().dir, Direction::Tx);
    EXPECT_EQ(bench.RxTotal() + bench.TxTotal(), 4 + kOk.size() + 6);
    bench.Stop();
    EXPECT_FALSE(bench.Running());
    pollfd p{port, POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 1000), 1);
    EXPECT_NE(p.revents & (POLLHUP | POLLERR), 0);
}

TEST_F(SimBench, TheAttachedAdapterAnswersAndSwitchingDropsItsHalfLine) {
    ASSERT_TRUE(bench.Attach("slave3"));
    const std::string info = "\r\n0001950A0B03,OLMA-S3,MODE0,STANDBY,NoFC,0,0\r\n" + kOk;
    EXPECT_EQ(Ask("at+btinfo?\r", info.size()), info);
    EXPECT_FALSE(bench.Attach("slave9"));
    EXPECT_EQ(bench.Attached(), "slave3");
    ASSERT_TRUE(bench.Attach("master"));
    Ask("at+bt", 0);
    ASSERT_TRUE(bench.WaitForReceived(16, Ms(2000)));
    ASSERT_TRUE(bench.Attach("slave1"));
    ASSERT_TRUE(bench.Attach("master"));
    EXPECT_EQ(Ask("info?\r", 9), "\r\nERROR\r\n") << "the master must have lost \"at+bt\"";

    bench.Detach();
    EXPECT_EQ(Ask("at\r", SIZE_MAX, Ms(150)), "");
    bench.Attach("slave2");
    bench.With("slave2", [](CSimAdapter& a) { a.Fault().silent = true; });
    EXPECT_EQ(Ask("at+btmode,2\r", SIZE_MAX, Ms(150)), "");
    EXPECT_EQ(bench.StateOf("slave2").mode, 0);
    EXPECT_EQ(bench.Received(), "at+btinfo?\rat+btinfo?\rat\rat+btmode,2\r");
    EXPECT_EQ(bench.Transcript().back().adapter, "slave2");
}

} // namespace
} // namespace nw::sim
