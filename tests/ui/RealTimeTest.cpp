// A few operations at real speed: the pauses the adapter is given are the
// real ones, and nothing else adds noticeable time.
#include "support/BenchFixture.h"

#include <chrono>

namespace nw::test {
namespace {

using namespace std::chrono_literals;

class RealTime : public BenchTest {
  protected:
    RealTime() : BenchTest(1.0) {}
};

TEST_F(RealTime, DetectionTakesItsTwoPausesAndAReportItsWakeUpCollectAndSettle) {
    ASSERT_TRUE(bench.Attach("slave1"));
    const auto timed = [](const std::function<void()>& f) {
        const auto t0 = std::chrono::steady_clock::now();
        f();
        return std::chrono::steady_clock::now() - t0;
    };
    auto took = timed([&] { EXPECT_EQ(dlg.DetectDevice(), OutcomeKind::Succeeded); });
    EXPECT_TRUE(took >= 1900ms && took < 2150ms) << (took / 1ms) << " ms";
    took = timed([&] { EXPECT_EQ(dlg.ReadDeviceInfo(1), OutcomeKind::Succeeded); });
    EXPECT_TRUE(took >= 2800ms && took < 3050ms) << (took / 1ms) << " ms";
    EXPECT_EQ(dlg.m_strBdAddr[1], "0001950A0B01");
}

} // namespace
} // namespace nw::test
