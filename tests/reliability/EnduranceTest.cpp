// Ten thousand opens and closes of one line: nothing the process holds may grow.
#include "serial/LineSettings.h"
#include "serial/SerialPort.h"
#include "support/ProcessCounts.h"
#include "support/PtyPair.h"

#include <gtest/gtest.h>

namespace nw::test {
namespace {

TEST(OpenClose, TenThousandCyclesLeakNothing) {
    PtyPair pty;
    CSerialPort port;
    const auto cycle = [&](int i) {
        ASSERT_TRUE(port.Open(pty.Path(), 9600, stopbits::kOne, parity::kNone)) << i;
        if (i % 1000 == 0) {
            ASSERT_EQ(port.Write("at\r\n", 4), 4u);
        }
        port.Close();
    };
    cycle(1); // warm-up: lazily made things such as the reader's stack exist after it
    const std::size_t fds = OpenDescriptors(), threads = Threads(), rss = ResidentKiB();
    for (int i = 0; i < 10000 && !HasFatalFailure(); ++i)
        cycle(i);
    EXPECT_EQ(OpenDescriptors(), fds);
    EXPECT_EQ(Threads(), threads);
    if (kResidentMemoryIsMeaningful) {
        EXPECT_LT(ResidentKiB(), rss + 2048);
    }
}

} // namespace
} // namespace nw::test
