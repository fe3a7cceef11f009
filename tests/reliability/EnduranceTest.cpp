// Long runs: thousands of opens and closes, a hundred wizard runs. Nothing
// the process holds may grow.
#include "serial/LineSettings.h"
#include "support/BenchFixture.h"
#include "support/ProcessCounts.h"
#include "ui/Messages.h"

namespace nw::test {
namespace {

// Runs `once` (warm-up: lazily made things such as thread stacks exist
// after it), then `again`, and checks that nothing the process holds grew.
template <class Once, class Again> void ExpectNoGrowth(Once once, Again again) {
    once();
    const std::size_t fds = OpenDescriptors();
    const std::size_t threads = Threads();
    const std::size_t rss = ResidentKiB();
    again();
    EXPECT_EQ(OpenDescriptors(), fds);
    EXPECT_EQ(Threads(), threads);
    if (kResidentMemoryIsMeaningful) {
        EXPECT_LT(ResidentKiB(), rss + 2048);
    }
}

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
    ExpectNoGrowth([&] { cycle(1); },
                   [&] {
                       for (int i = 0; i < 10000 && !::testing::Test::HasFatalFailure(); ++i)
                           cycle(i);
                   });
}

class Endurance : public BenchTest {
  protected:
    Endurance() : BenchTest(0.002) {} // every pause ends when the line is quiet
};

TEST_F(Endurance, AHundredWizardRunsLeakNothing) {
    auto run = [&] {
        for (const char* who : {"master", "master", "slave1", "slave2", "master"}) {
            ASSERT_TRUE(bench.Attach(who));
            dlg.OnButtonStart();
        }
        ASSERT_EQ(host.Text(id::main::kStaticMessage), msg::kMultiComplete);
        host.ClearRecords();
        bench.ClearTranscript();
    };
    ExpectNoGrowth(run, [&] {
        for (int i = 1; i < 100 && !HasFatalFailure(); ++i)
            run();
    });
    EXPECT_EQ(bench.NetworkVerdict().rfind("network: OK", 0), 0u);
}

} // namespace
} // namespace nw::test
